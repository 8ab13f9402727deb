# Installation (GNUInstallDirs) and the Debian package (CPack).
include(GNUInstallDirs)

set(ANTHORA_ID org.example.anthora)  # reverse-DNS name of the site's domain
set(dist ${PROJECT_SOURCE_DIR}/dist)
set(docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/anthora)

install(TARGETS anthora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS anthora-authoring RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/anthora)
# The sample as learners play it; the sheet and photos it is built from stay in the source tree.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/sample/ DESTINATION ${CMAKE_INSTALL_DATADIR}/anthora/sample
  PATTERN source EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
  DESTINATION ${docdir})
foreach(guide teachers-guide learners-guide)
  install(FILES ${PROJECT_SOURCE_DIR}/doc/${guide}.md ${PROJECT_SOURCE_DIR}/doc/${guide}.ru.md
    DESTINATION ${docdir})
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/src/app/artwork/CREDITS.md
  DESTINATION ${docdir} RENAME ARTWORK-CREDITS.md)
install(FILES ${PROJECT_SOURCE_DIR}/sample/ris/CREDITS.md
  DESTINATION ${docdir} RENAME SAMPLE-CREDITS.md)
# The manual page and the package's change log, compressed as a distribution ships them.
function(anthora_gzip source target)
  string(REGEX REPLACE "\\.gz$" "" plain ${target})
  get_filename_component(folder ${target} DIRECTORY)
  add_custom_command(OUTPUT ${target}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${plain}
    COMMAND gzip -9nf ${plain}
    DEPENDS ${source} VERBATIM)
endfunction()
set(manpage ${CMAKE_CURRENT_BINARY_DIR}/anthora.6.gz)
set(manpage_ru ${CMAKE_CURRENT_BINARY_DIR}/ru/anthora.6.gz)
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz)
anthora_gzip(${dist}/anthora.6 ${manpage})
anthora_gzip(${dist}/anthora.ru.6 ${manpage_ru})
anthora_gzip(${dist}/changelog.Debian ${changelog})
add_custom_target(anthora_compressed_docs ALL DEPENDS ${manpage} ${manpage_ru} ${changelog})
install(FILES ${manpage} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${manpage_ru} DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man6)
install(FILES ${changelog} ${dist}/copyright DESTINATION ${docdir})
install(FILES ${dist}/${ANTHORA_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The set file's type, known by its name and its first bytes, with an icon of its own.
install(FILES ${dist}/${ANTHORA_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
  RENAME ${ANTHORA_ID}.xml)
foreach(size 48 128 256)
  install(FILES ${dist}/icons/${size}/${ANTHORA_ID}.png
    ${dist}/icons/${size}/${ANTHORA_ID}.make-quiz.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  install(FILES ${dist}/icons/${size}/application-x-anthora-set.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/mimetypes)
endforeach()

# The menu entry names the installed program, so it is written when the prefix is final: at
# install time, where a package build installs under its own prefix. So are the entry of the
# program that makes a quiz from a folder (for its name and icon on a desktop; it claims no
# type, so that installing never changes what opens a folder) and that program's action on a
# folder's menu in each file manager, by the file manager's own mechanism: the shared
# file-manager actions (PCManFM, Caja), Nemo's actions, a KIO service menu (Dolphin, which wants
# it executable) and Thunar's "Send To" menu.
set(fm ${dist}/file-managers/${ANTHORA_ID}.make-quiz)
set(desktop_files
  "${dist}/${ANTHORA_ID}.desktop.in|applications|${ANTHORA_ID}.desktop|-"
  "${dist}/${ANTHORA_ID}.make-quiz.desktop.in|applications|${ANTHORA_ID}.make-quiz.desktop|-"
  "${fm}.action.desktop.in|file-manager/actions|${ANTHORA_ID}.make-quiz.desktop|-"
  "${fm}.nemo_action.in|nemo/actions|${ANTHORA_ID}.make-quiz.nemo_action|-"
  "${fm}.service.desktop.in|kio/servicemenus|${ANTHORA_ID}.make-quiz.desktop|OWNER_READ,OWNER_WRITE,OWNER_EXECUTE,GROUP_READ,GROUP_EXECUTE,WORLD_READ,WORLD_EXECUTE"
  "${fm}.sendto.desktop.in|Thunar/sendto|${ANTHORA_ID}.make-quiz.desktop|-")
install(CODE "
  set(ANTHORA_DESKTOP_FILES \"${desktop_files}\")
  set(ANTHORA_DESKTOP_WORK \"${CMAKE_CURRENT_BINARY_DIR}/desktop-entry\")
  set(ANTHORA_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  set(ANTHORA_DATADIR \"${CMAKE_INSTALL_DATADIR}\")")
install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/DesktopEntry.cmake)

set(CPACK_PACKAGE_NAME anthora)
set(CPACK_PACKAGE_VENDOR "The Anthora developers")
set(CPACK_PACKAGE_CONTACT "The Anthora developers <anthora@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "flower quiz")
set(CPACK_PACKAGE_DESCRIPTION "\
Anthora is a small desktop quiz that teaches you to recognise flowers: pick
English or Russian and name the flower in each picture from four answers. It
comes with a sample set of photos and helps teachers to build, check and hand
out their own sets, as one file that opens with a double click.")
set(CPACK_PACKAGE_HOMEPAGE_URL https://anthora.example.org/)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The zip, fontconfig, HEIF, WebP and SQLite libraries are loaded when first needed, so the
# package names them itself.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "fonts-liberation2, xdg-utils, libzip4, libfontconfig1, libheif1, libwebp7, libsqlite3-0")
# A teacher fills in the sheet of a quiz in a spreadsheet program.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libreoffice-calc | gnumeric")
include(CPack)
