# Installation: what a game needs and nothing more.
#  - libTQDll2DD.so and the audio module as games get them: the objects of the build tree's
#    libraries linked once more, so that the platform layer's internals (namespace tqplat, with the
#    test hooks the tests call) and the audio module's test entry point are not exported;
#  - libTQDllD.so and tqpack;
#  - the headers of the base library, containers, device, engine, GUI toolkit and helper library,
#    and the platform type headers they include, under include/tq2d (rooted as in the source tree);
#  - a CMake package (TQ2D::TQDll2DD, TQ2D::TQDllD, TQ2D::tqpack) and a pkg-config file (tq2d).
set(TQ2D_INCLUDE_ROOT include/tq2d)

add_library(TQDll2DD_public SHARED $<TARGET_OBJECTS:TQDll2DD>)
target_link_libraries(TQDll2DD_public PUBLIC TQDllD tqcontainers
                      PRIVATE $<TARGET_PROPERTY:TQDll2DD,LINK_LIBRARIES>)
# C++17 is the least a game needs; a game may ask for a later standard.
target_compile_features(TQDll2DD_public INTERFACE cxx_std_17)
target_link_options(TQDll2DD_public PRIVATE -Wl,--version-script=${CMAKE_CURRENT_LIST_DIR}/tq2d-public.map)
set_target_properties(TQDll2DD_public PROPERTIES OUTPUT_NAME TQDll2DD EXPORT_NAME TQDll2DD
                      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/public
                      LINK_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tq2d-public.map)
install(TARGETS TQDll2DD_public TQDllD tqcontainers EXPORT TQ2DTargets
  LIBRARY DESTINATION lib
  INCLUDES DESTINATION ${TQ2D_INCLUDE_ROOT})

if(TARGET tqaudio_public)
  install(TARGETS tqaudio_public LIBRARY DESTINATION lib)
endif()

if(TARGET tqpack)
  install(TARGETS tqpack EXPORT TQ2DTargets RUNTIME DESTINATION bin)
endif()

set(TQ2D_HEADER_LAYERS base containers device engine gui helpers)
foreach(layer ${TQ2D_HEADER_LAYERS})
  install(DIRECTORY ${TQ_SOURCE_ROOT}/${layer} DESTINATION ${TQ2D_INCLUDE_ROOT} FILES_MATCHING PATTERN "*.h")
endforeach()
# The platform's types, constants and the interfaces the device's public members name.
set(TQ2D_PLATFORM_HEADERS win32/tqwintypes.h win32/tqkernel32.h win32/tquser32.h win32/tqfilestamp.h d3d9/tqd3d9.h
                          d3dx9/tqd3dx9.h gdi32/tqgdi32.h imm32/tqimm32.h)
foreach(header ${TQ2D_PLATFORM_HEADERS})
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${TQ_SOURCE_ROOT}/platform/${header} DESTINATION ${TQ2D_INCLUDE_ROOT}/platform/${folder})
endforeach()

install(EXPORT TQ2DTargets NAMESPACE TQ2D:: DESTINATION lib/cmake/TQ2D)
configure_file(${CMAKE_CURRENT_LIST_DIR}/TQ2DConfig.cmake.in ${CMAKE_BINARY_DIR}/TQ2DConfig.cmake @ONLY)
# find_package(TQ2D 0.1) accepts any 0.x at least as new: a new major version may break games.
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/TQ2DConfigVersion.cmake VERSION ${PROJECT_VERSION}
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/TQ2DConfig.cmake ${CMAKE_BINARY_DIR}/TQ2DConfigVersion.cmake
        DESTINATION lib/cmake/TQ2D)
# The prefix is taken from where the file lies, so the package can be installed anywhere.
configure_file(${CMAKE_CURRENT_LIST_DIR}/tq2d.pc.in ${CMAKE_BINARY_DIR}/tq2d.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/tq2d.pc DESTINATION lib/pkgconfig)
