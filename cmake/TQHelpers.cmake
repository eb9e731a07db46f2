# Small helpers shared by the folders' CMakeLists.

# tq_sources(VAR dir...): every .cpp/.c of the given folders (relative to the caller).
function(tq_sources var)
  set(files)
  foreach(dir ${ARGN})
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.c)
    list(APPEND files ${found})
  endforeach()
  set(${var} ${files} PARENT_SCOPE)
endfunction()

# tq_add_gtest(NAME name SOURCES ... LIBS ... [XVFB]): a GoogleTest executable registered with CTest.
# XVFB runs it under a virtual X server (skipped when xvfb-run is missing).
function(tq_add_gtest)
  cmake_parse_arguments(T "XVFB" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_include_directories(${T_NAME} PRIVATE ${TQ_SOURCE_ROOT} ${CMAKE_SOURCE_DIR}/tests)
  if(T_XVFB)
    find_program(XVFB_RUN xvfb-run)
    if(XVFB_RUN)
      add_test(NAME ${T_NAME} COMMAND ${XVFB_RUN} -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:${T_NAME}>)
    endif()
  else()
    gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
  endif()
endfunction()
