# The API reference, made with doxygen from the installed headers:
#  - target docs writes build/docs/html (not part of the default build);
#  - cmake --install copies it to share/doc/TQ2D/html when it has been built, else says so;
#  - cmake --install puts the guide beside it (share/doc/TQ2D/guide.md), with the files the guide
#    links to in share/doc/TQ2D/examples: its file-format examples and the example games;
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

# In the source tree the guide lies in docs/ and links to ../examples (the games) and examples (its
# own files); installed, both are one examples folder beside it.
set(TQ_GUIDE ${CMAKE_SOURCE_DIR}/docs/guide.md)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TQ_GUIDE})
file(READ ${TQ_GUIDE} TQ_GUIDE_TEXT)
string(REPLACE "](../examples" "](examples" TQ_GUIDE_TEXT "${TQ_GUIDE_TEXT}")
file(WRITE ${CMAKE_BINARY_DIR}/docs/guide.md "${TQ_GUIDE_TEXT}")
install(FILES ${CMAKE_BINARY_DIR}/docs/guide.md DESTINATION share/doc/TQ2D)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/examples/ ${CMAKE_SOURCE_DIR}/examples/
        DESTINATION share/doc/TQ2D/examples)
