# The API reference, made with doxygen from the installed headers:
#  - target docs writes build/docs/html (not part of the default build);
#  - cmake --install copies it to share/doc/TQ2D/html when it has been built, else says so;
#  - test tq2d_docs runs doxygen into a folder of its own and fails on any warning.
find_package(Doxygen QUIET)

set(TQ_DOCS_SOURCE ${CMAKE_SOURCE_DIR}/docs/reference)
set(TQ_DOCS_MAINPAGE ${TQ_DOCS_SOURCE}/mainpage.md)
# The headers cmake/TQInstall.cmake installs.
set(TQ_DOCS_INPUT ${TQ_DOCS_MAINPAGE})
foreach(layer ${TQ2D_HEADER_LAYERS})
  string(APPEND TQ_DOCS_INPUT " ${TQ_SOURCE_ROOT}/${layer}")
endforeach()
foreach(header ${TQ2D_PLATFORM_HEADERS})
  string(APPEND TQ_DOCS_INPUT " ${TQ_SOURCE_ROOT}/platform/${header}")
endforeach()

# tq_doxyfile(FILE OUTPUT): a doxygen configuration writing to OUTPUT.
function(tq_doxyfile file output)
  set(TQ_DOCS_OUTPUT ${output})
  configure_file(${TQ_DOCS_SOURCE}/Doxyfile.in ${file} @ONLY)
endfunction()

if(DOXYGEN_FOUND)
  tq_doxyfile(${CMAKE_BINARY_DIR}/docs/Doxyfile ${CMAKE_BINARY_DIR}/docs)
  add_custom_target(docs COMMAND Doxygen::doxygen ${CMAKE_BINARY_DIR}/docs/Doxyfile
                    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/docs
                    COMMENT "API reference in ${CMAKE_BINARY_DIR}/docs/html" VERBATIM)
  if(TQ_BUILD_TESTS)
    tq_doxyfile(${CMAKE_BINARY_DIR}/docs-check/Doxyfile ${CMAKE_BINARY_DIR}/docs-check)
    add_test(NAME tq2d_docs COMMAND Doxygen::doxygen ${CMAKE_BINARY_DIR}/docs-check/Doxyfile
             WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/docs-check)
  endif()
else()
  message(STATUS "doxygen not found: no docs target (scripts/setup.sh installs it)")
endif()
install(DIRECTORY ${CMAKE_BINARY_DIR}/docs/html/ DESTINATION share/doc/TQ2D/html OPTIONAL)
install(CODE "if(NOT EXISTS \"${CMAKE_BINARY_DIR}/docs/html/index.html\")
  message(STATUS \"API reference not installed: build the docs target first (needs doxygen)\")
endif()")
