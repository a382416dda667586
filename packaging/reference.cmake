# Writes the reference part of the user's guide, the lines between its two
# markers, to a file of its own: the source of the manual page vsZEB(1).
# Usage: cmake -DGUIDE=docs/guide.md -DOUT=reference.md -P reference.cmake
file(READ ${GUIDE} guide)
set(begin "<!-- reference begins: the manual page vsZEB(1) is made from here -->")
set(end "<!-- reference ends -->")
string(FIND "${guide}" "${begin}" from)
string(FIND "${guide}" "${end}" to)
if(from EQUAL -1 OR to EQUAL -1 OR to LESS from)
  message(FATAL_ERROR "${GUIDE}: the markers of the reference part are missing")
endif()
string(LENGTH "${begin}" skip)
math(EXPR from "${from} + ${skip}")
math(EXPR length "${to} - ${from}")
string(SUBSTRING "${guide}" ${from} ${length} reference)
file(WRITE ${OUT} "${reference}")
