# -DBUILD=engine build folder -DSOURCE=source tree -DWORK=scratch folder -DREFERENCES=folder of
# <game>.bmp -DGENERATOR=CMake generator
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed (${result}): ${ARGN}\n${output}")
  endif()
endfunction()

set(PREFIX ${WORK}/prefix)
file(REMOVE_RECURSE ${WORK})
run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX})

# The guide lies beside the reference, and every file it links to is installed with it.
set(GUIDE ${PREFIX}/share/doc/TQ2D/guide.md)
file(READ ${GUIDE} guide)
string(REPLACE "](" "<link>" guide "${guide}") # a "]" would group the list's items
string(REGEX MATCHALL "<link>[^)#:]+" links "${guide}")
list(LENGTH links count)
if(count LESS 20)
  message(FATAL_ERROR "${GUIDE}: ${count} links to files")
endif()
foreach(link ${links})
  string(REPLACE "<link>" "" target "${link}")
  if(NOT EXISTS "${PREFIX}/share/doc/TQ2D/${target}")
    message(FATAL_ERROR "${GUIDE} links to ${target}, which is not installed")
  endif()
endforeach()

# The installed libraries export neither the platform's internals nor test entry points.
foreach(library libTQDll2DD.so libtqaudio.so)
  execute_process(COMMAND nm -D --defined-only ${PREFIX}/lib/${library} OUTPUT_VARIABLE symbols)
  if(symbols MATCHES "[TDB] (_ZN6tqplat|_ZN6tqd3d9|TQAudioTest)[^\n]*")
    message(FATAL_ERROR "${library} exports ${CMAKE_MATCH_0}")
  endif()
endforeach()

# Each function of the engine's own that the library exports is declared in an installed header.
execute_process(COMMAND nm -DC --defined-only ${PREFIX}/lib/libTQDll2DD.so OUTPUT_VARIABLE symbols)
string(REGEX MATCHALL " T TQ[A-Za-z0-9_]*\\(" exported "${symbols}")
file(GLOB_RECURSE installed_headers ${PREFIX}/include/tq2d/*.h)
set(declarations "")
foreach(header ${installed_headers})
  file(READ ${header} text)
  string(APPEND declarations "${text}")
endforeach()
foreach(entry ${exported})
  string(REGEX REPLACE " T (TQ[A-Za-z0-9_]*)\\(" "\\1" name "${entry}")
  if(NOT declarations MATCHES "[^A-Za-z0-9_]${name}\\(")
    message(FATAL_ERROR "libTQDll2DD.so exports ${name}, which no installed header declares")
  endif()
endforeach()

# One project: a source file per installed header, including it alone, and the examples.
file(GLOB_RECURSE headers RELATIVE ${PREFIX}/include/tq2d ${PREFIX}/include/tq2d/*.h)
set(sources)
foreach(header ${headers})
  string(MAKE_C_IDENTIFIER ${header} name)
  file(WRITE ${WORK}/check/${name}.cpp "#include \"${header}\"\n")
  list(APPEND sources ${name}.cpp)
endforeach()
file(WRITE ${WORK}/check/CMakeLists.txt "cmake_minimum_required(VERSION 3.20)
project(tq2d-install-check CXX)
find_package(TQ2D 1.0 QUIET)
if(TQ2D_FOUND)
  message(FATAL_ERROR \"TQ2D \${TQ2D_VERSION} was accepted for 1.0\")
endif()
find_package(TQ2D 0.1 REQUIRED)
add_library(headers OBJECT ${sources})
target_link_libraries(headers PRIVATE TQ2D::TQDll2DD)
add_subdirectory(${SOURCE}/examples examples)
")
run(${CMAKE_COMMAND} -S ${WORK}/check -B ${WORK}/build -G ${GENERATOR} -DCMAKE_PREFIX_PATH=${PREFIX})
run(${CMAKE_COMMAND} --build ${WORK}/build --parallel 2)

# The first game again with its Makefile and pkg-config, its pack made with the installed tqpack.
file(COPY ${SOURCE}/examples/first-game/ DESTINATION ${WORK}/make)
set(ENV{PKG_CONFIG_PATH} ${PREFIX}/lib/pkgconfig)
run(make -C ${WORK}/make)
execute_process(COMMAND pkg-config --variable=tqpack tq2d OUTPUT_VARIABLE tqpack OUTPUT_STRIP_TRAILING_WHITESPACE)
run(${tqpack} create ${WORK}/make/first-game.pak ${WORK}/make/assets)

# Each game runs from a working folder of its own: screenshots land there, while the games find
# their packs and scripts beside their programs.
set(ENV{TQ_VIDEO} headless)
set(ENV{SDL_AUDIODRIVER} dummy)
file(MAKE_DIRECTORY ${WORK}/run)
foreach(program examples/first-game/first-game examples/script-game/script-game examples/gui-game/gui-game
                ../make/first-game)
  get_filename_component(game ${program} NAME)
  string(MAKE_C_IDENTIFIER ${program} shot)
  execute_process(COMMAND ${WORK}/build/${program} 60 ${shot}.bmp WORKING_DIRECTORY ${WORK}/run
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${program} failed (${result})")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/run/${shot}.bmp ${REFERENCES}/${game}.bmp
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${WORK}/run/${shot}.bmp differs from ${REFERENCES}/${game}.bmp")
  endif()
endforeach()
