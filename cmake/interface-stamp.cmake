# Writes OUT, a header with the stamp of the interface between the program
# and its FLTK module: a digest of the headers that both are compiled
# against, the version and the compiler. A module whose stamp differs was
# built against other classes and must not be called.
#   cmake -DSOURCE_DIR=... -DOUT=... -DVERSION=... -DCOMPILER=... -P interface-stamp.cmake
file(GLOB_RECURSE headers ${SOURCE_DIR}/src/ui/*.h ${SOURCE_DIR}/src/sys/*.h ${SOURCE_DIR}/src/res/*.h)
list(SORT headers)
set(all "${VERSION} ${COMPILER}\n")
foreach(h IN LISTS headers)
  file(READ ${h} content)
  file(RELATIVE_PATH name ${SOURCE_DIR} ${h})
  string(APPEND all "${name}\n${content}\n")
endforeach()
string(SHA256 digest "${all}")
string(SUBSTRING ${digest} 0 32 stamp)
file(WRITE ${OUT}.new
  "// Made by cmake/interface-stamp.cmake from the headers that the program\n"
  "// and the FLTK module share.\n"
  "#pragma once\n"
  "#define VSZEB_FLTK_INTERFACE \"vszeb-fltk ${VERSION} ${stamp}\"\n")
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.new)
