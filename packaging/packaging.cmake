# What the build installs, and the packages that CPack makes of it: a Debian
# package on Linux, a zip and an NSIS installer for Windows. Everything that
# a package holds comes from an install() rule, so that a new part of the
# build (a back end in a module of its own, say) that installs itself is in
# the packages without a word here.

set(VSZEB_DOCS_SOURCE ${CMAKE_SOURCE_DIR}/docs)
set(VSZEB_DOCS_OUT ${CMAKE_BINARY_DIR}/docs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
  # One folder: the program beside its guide and the IDE definitions.
  set(VSZEB_INSTALL_BIN .)
  set(VSZEB_INSTALL_DOC .)
else()
  set(VSZEB_INSTALL_BIN ${CMAKE_INSTALL_BINDIR})
  # Debian's name for the package's documentation folder.
  set(VSZEB_INSTALL_DOC ${CMAKE_INSTALL_DATAROOTDIR}/doc/vszeb)
endif()

install(TARGETS vsZEB RUNTIME DESTINATION ${VSZEB_INSTALL_BIN})

# The guide as a web page, and the manual page made from the guide's
# reference part, so that the two say the same. Both need pandoc.
find_program(VSZEB_PANDOC pandoc)
find_program(VSZEB_GZIP gzip)
if(VSZEB_PANDOC)
  set(VSZEB_GUIDE_PAGES guide automation)
  set(VSZEB_TITLE_guide "vsZEB User's Guide")
  set(VSZEB_TITLE_automation "vsZEB Automation")
  set(VSZEB_DOC_OUTPUTS)
  foreach(page IN LISTS VSZEB_GUIDE_PAGES)
    add_custom_command(
      OUTPUT ${VSZEB_DOCS_OUT}/${page}.html
      COMMAND ${CMAKE_COMMAND} -E make_directory ${VSZEB_DOCS_OUT}
      COMMAND ${VSZEB_PANDOC} --standalone --from gfm --to html5 --toc
              "--metadata=pagetitle:${VSZEB_TITLE_${page}}"
              --lua-filter ${CMAKE_SOURCE_DIR}/packaging/doc-links.lua
              --output ${VSZEB_DOCS_OUT}/${page}.html ${VSZEB_DOCS_SOURCE}/${page}.md
      DEPENDS ${VSZEB_DOCS_SOURCE}/${page}.md ${CMAKE_SOURCE_DIR}/packaging/doc-links.lua
      COMMENT "Making ${page}.html"
      VERBATIM)
    list(APPEND VSZEB_DOC_OUTPUTS ${VSZEB_DOCS_OUT}/${page}.html)
  endforeach()
  if(NOT WIN32)
    add_custom_command(
      OUTPUT ${VSZEB_DOCS_OUT}/vsZEB.1.gz
      COMMAND ${CMAKE_COMMAND} -DGUIDE=${VSZEB_DOCS_SOURCE}/guide.md -DOUT=${VSZEB_DOCS_OUT}/reference.md
              -P ${CMAKE_SOURCE_DIR}/packaging/reference.cmake
      COMMAND ${VSZEB_PANDOC} --standalone --from gfm --to man --shift-heading-level-by=-2
              --metadata title=vsZEB --metadata section=1
              --metadata "header=ZEB++ IDE Integration" --metadata "footer=vsZEB ${PROJECT_VERSION}"
              --output ${VSZEB_DOCS_OUT}/vsZEB.1 ${VSZEB_DOCS_OUT}/reference.md
      COMMAND ${VSZEB_GZIP} -9nf ${VSZEB_DOCS_OUT}/vsZEB.1
      DEPENDS ${VSZEB_DOCS_SOURCE}/guide.md ${CMAKE_SOURCE_DIR}/packaging/reference.cmake
      COMMENT "Making the manual page vsZEB(1) from the guide's reference"
      VERBATIM)
    list(APPEND VSZEB_DOC_OUTPUTS ${VSZEB_DOCS_OUT}/vsZEB.1.gz)
    install(FILES ${VSZEB_DOCS_OUT}/vsZEB.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
  add_custom_target(vszeb_docs ALL DEPENDS ${VSZEB_DOC_OUTPUTS})
  foreach(page IN LISTS VSZEB_GUIDE_PAGES)
    install(FILES ${VSZEB_DOCS_OUT}/${page}.html DESTINATION ${VSZEB_INSTALL_DOC})
  endforeach()
else()
  message(WARNING "pandoc not found: the guide's web pages and the manual page are not made, "
                  "and the packages will lack them (script/bootstrap installs pandoc)")
endif()
install(DIRECTORY ${VSZEB_DOCS_SOURCE}/images DESTINATION ${VSZEB_INSTALL_DOC} FILES_MATCHING PATTERN "*.png")
install(DIRECTORY ${CMAKE_SOURCE_DIR}/ide DESTINATION ${VSZEB_INSTALL_DOC})

# Package metadata, for every generator.
set(CPACK_PACKAGE_NAME vsZEB)
set(CPACK_PACKAGE_VENDOR "ZEB++")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "IDE front end of the ZEB++ code coverage tool chain")
set(CPACK_PACKAGE_DESCRIPTION [=[
vsZEB is run by an IDE (Visual Studio, Eclipse, Carbide.c++, CodeWarrior,
Keil uVision) as an external tool. It shows one small dialog to switch the
project's coverage instrumentation on or off, or to make a coverage report
with the ZEB++ tools, and writes what it does to the IDE's output window.]=])
set(CPACK_PACKAGE_CONTACT "vsZEB maintainers <vszeb@example.org>" CACHE STRING
    "Maintainer named in the packages")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/packaging/debian/copyright)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP NSIS)
  set(CPACK_SYSTEM_NAME win32)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY vsZEB)
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY vsZEB)
  set(CPACK_NSIS_PACKAGE_NAME "vsZEB ${PROJECT_VERSION}")
  set(CPACK_NSIS_DISPLAY_NAME "vsZEB ${PROJECT_VERSION} (ZEB++ IDE Integration)")
  set(CPACK_NSIS_INSTALLED_ICON_NAME vsZEB.exe)
  set(CPACK_NSIS_MUI_ICON ${CMAKE_BINARY_DIR}/res/vsZEB.ico)
  set(CPACK_NSIS_MUI_UNIICON ${CMAKE_BINARY_DIR}/res/vsZEB.ico)
  # A new version replaces the old one rather than installing beside it; a
  # silent install (/S) takes the default answer, yes.
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
  set(CPACK_NSIS_MENU_LINKS guide.html "vsZEB User's Guide")
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_PACKAGE_NAME vszeb)
  set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The libraries the installed programs and modules link, as dpkg-shlibdeps finds them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  # Debian's own files in the documentation folder: the copyright and the
  # package's change log, compressed as policy asks.
  configure_file(${CMAKE_SOURCE_DIR}/packaging/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog.Debian @ONLY)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.Debian.gz
    COMMAND ${VSZEB_GZIP} -9nkf ${CMAKE_BINARY_DIR}/debian/changelog.Debian
    DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.Debian
    VERBATIM)
  add_custom_target(vszeb_debian_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.Debian.gz)
  install(FILES ${CMAKE_BINARY_DIR}/debian/changelog.Debian.gz DESTINATION ${VSZEB_INSTALL_DOC})
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/copyright DESTINATION ${VSZEB_INSTALL_DOC})
endif()

include(CPack)
