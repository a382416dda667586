# Windows resources: vsZEB.rc takes the icon from a file that a small host
# program writes at build time from the image data in src/res, and the
# manifest from beside it.
file(GLOB VSZEB_RES_DATA CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/res/*.cpp)
set(VSZEB_RES_OUT ${CMAKE_BINARY_DIR}/res)
set(VSZEB_ICON_SOURCES ${CMAKE_SOURCE_DIR}/src/res/tools/make-ico.cpp ${VSZEB_RES_DATA})
if(CMAKE_CROSSCOMPILING)
  # The compiler of the build makes programs for the target: the host's own
  # compiler makes the icon writer.
  find_program(VSZEB_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
  set(VSZEB_MAKE_ICO ${VSZEB_RES_OUT}/make-ico)
  set(VSZEB_BUILD_MAKE_ICO
      COMMAND ${VSZEB_HOST_CXX} -std=c++20 -O1 -I${CMAKE_SOURCE_DIR}/src -I${VSZEB_GENERATED} -o ${VSZEB_MAKE_ICO} ${VSZEB_ICON_SOURCES})
else()
  # Built on Windows itself (MSVC or MinGW): the icon writer is one more program of the build.
  add_executable(vszeb_make_ico ${VSZEB_ICON_SOURCES})
  target_include_directories(vszeb_make_ico PRIVATE ${CMAKE_SOURCE_DIR}/src ${VSZEB_GENERATED})
  set(VSZEB_MAKE_ICO vszeb_make_ico)
  set(VSZEB_BUILD_MAKE_ICO)
endif()
add_custom_command(
  OUTPUT ${VSZEB_RES_OUT}/vsZEB.ico
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VSZEB_RES_OUT}
  ${VSZEB_BUILD_MAKE_ICO}
  COMMAND ${VSZEB_MAKE_ICO} ${VSZEB_RES_OUT}/vsZEB.ico
  DEPENDS ${VSZEB_ICON_SOURCES} ${CMAKE_SOURCE_DIR}/src/res/resources.h ${VSZEB_GENERATED}/res/version.h
  COMMENT "Making the application icon"
  VERBATIM)
# The manifest carries the project's version.
string(REGEX REPLACE "^([0-9]+\\.[0-9]+\\.[0-9]+).*" "\\1.0" VSZEB_VERSION_TEXT ${PROJECT_VERSION})
configure_file(${CMAKE_SOURCE_DIR}/src/res/vsZEB.manifest.in ${VSZEB_RES_OUT}/vsZEB.manifest @ONLY)
set_property(SOURCE src/res/vsZEB.rc APPEND PROPERTY OBJECT_DEPENDS
             ${VSZEB_RES_OUT}/vsZEB.ico ${VSZEB_RES_OUT}/vsZEB.manifest ${VSZEB_GENERATED}/res/version.h)
set_property(SOURCE src/res/vsZEB.rc APPEND PROPERTY INCLUDE_DIRECTORIES
             ${VSZEB_RES_OUT} ${VSZEB_GENERATED} ${CMAKE_SOURCE_DIR}/src/res)
# A source of the program, so that the icon is made before the resources.
list(APPEND VSZEB_MAIN ${VSZEB_RES_OUT}/vsZEB.ico)
