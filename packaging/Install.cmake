# Installation (cmake --install) and the Debian package (cpack -G DEB).
# Included from the top-level file once the program's target exists. Each
# section below installs one kind of file; a new file joins the section of
# its kind (or a new section), and the package picks it up from there.
#
#   bin/                              the program
#   share/applications/               its desktop entry
#   share/metainfo/                   its AppStream description
#   share/icons/hicolor/<n>x<n>/apps/ the icon as PNGs, scalable/apps/ as SVG
#   share/man/man1/                   the manual page (in French)
#   share/doc/nelvar/                 README and docs/ (with their pictures),
#                                     changelog, copyright and the source archive
include(GNUInstallDirs)

set(NELVAR_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/nelvar)
set(NELVAR_PACKAGING_BUILD_DIR ${CMAKE_BINARY_DIR}/packaging)

# --- The program -------------------------------------------------------------

install(TARGETS nelvar RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped build (cpack, cmake --install --strip) also loses the sections
# that only name the compiler and build, as Debian's own stripping does.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/nelvar\"
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()")

# --- Desktop entry and AppStream description ---------------------------------

install(FILES ${CMAKE_SOURCE_DIR}/packaging/nelvar.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/org.example.nelvar.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# --- Icons -------------------------------------------------------------------

# The icon theme's PNGs, written into the build tree by a small tool from the
# program's own icon image; 48 is the theme's smallest required size. The SVG
# is the same design drawn as shapes.
set(NELVAR_ICON_SIZES 32 48 64 128 256)
set(NELVAR_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
add_executable(nelvar_icon_pngs ${CMAKE_SOURCE_DIR}/packaging/IconesPng.cpp)
target_link_libraries(nelvar_icon_pngs PRIVATE runtime_qt Qt6::Gui)
set(icon_files)
foreach(size ${NELVAR_ICON_SIZES})
  list(APPEND icon_files ${NELVAR_ICON_DIR}/${size}x${size}/nelvar.png)
  install(FILES ${NELVAR_ICON_DIR}/${size}x${size}/nelvar.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_command(OUTPUT ${icon_files}
  COMMAND nelvar_icon_pngs ${NELVAR_ICON_DIR} ${NELVAR_ICON_SIZES}
  DEPENDS nelvar_icon_pngs
  COMMENT "Writing the icon theme's PNGs")
add_custom_target(nelvar_icons ALL DEPENDS ${icon_files})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/nelvar.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# --- Manual page and documentation -------------------------------------------

# Debian wants the manual page and the changelog compressed at gzip's best,
# without a time stamp (-n), so that a rebuild gives the same bytes.
set(nelvar_gzipped)
foreach(pair "nelvar.1|nelvar.1.gz" "changelog|changelog.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 gzipped)
  add_custom_command(OUTPUT ${NELVAR_PACKAGING_BUILD_DIR}/${gzipped}
    COMMAND sh -c "gzip -9 -n -c \"$0\" > \"$1\"" ${CMAKE_SOURCE_DIR}/packaging/${source}
            ${NELVAR_PACKAGING_BUILD_DIR}/${gzipped}
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${source}
    VERBATIM)
  list(APPEND nelvar_gzipped ${NELVAR_PACKAGING_BUILD_DIR}/${gzipped})
endforeach()
add_custom_target(nelvar_docs ALL DEPENDS ${nelvar_gzipped})
install(FILES ${NELVAR_PACKAGING_BUILD_DIR}/nelvar.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The machine-readable copyright file, with the licence's holder and text
# taken from LICENSE.
file(READ ${CMAKE_SOURCE_DIR}/LICENSE licence)
if(NOT licence MATCHES "Copyright \\(c\\) ([^\n]+)")
  message(FATAL_ERROR "LICENSE: no 'Copyright (c) <year> <holder>' line")
endif()
set(NELVAR_COPYRIGHT "${CMAKE_MATCH_1}")
string(FIND "${licence}" "Permission is hereby granted" start)
if(start LESS 0)
  message(FATAL_ERROR "LICENSE: no permission notice")
endif()
string(SUBSTRING "${licence}" ${start} -1 text)
string(STRIP "${text}" text)
# Each line of the text indented by one blank; an empty line becomes " .".
string(REGEX REPLACE "\n\n" "\n.\n" text "${text}")
string(REGEX REPLACE "\n" "\n " NELVAR_LICENCE_TEXT " ${text}")
configure_file(${CMAKE_SOURCE_DIR}/packaging/copyright.in ${NELVAR_PACKAGING_BUILD_DIR}/copyright @ONLY)

install(FILES ${CMAKE_SOURCE_DIR}/README.md ${NELVAR_PACKAGING_BUILD_DIR}/copyright
              ${NELVAR_PACKAGING_BUILD_DIR}/changelog.gz
        DESTINATION ${NELVAR_DOC_DIR})
# The guides the README links (docs/*.md) and the pictures they show, at the
# same places relative to each other as in the source tree, so that the links
# work in the installed folder too.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION ${NELVAR_DOC_DIR}/docs
        FILES_MATCHING PATTERN "*.md" PATTERN "*.png")
install(FILES ${CMAKE_SOURCE_DIR}/packaging/screenshots/fenetre.png
        DESTINATION ${NELVAR_DOC_DIR}/packaging/screenshots)
install(FILES ${CMAKE_SOURCE_DIR}/firmware/wiring.svg DESTINATION ${NELVAR_DOC_DIR}/firmware)

# The program's source, as committed in git: the About box names this file.
# Written by the target nelvar_source (scripts/package.sh builds it); a plain
# cmake --install without it leaves it out.
set(NELVAR_SOURCE_ARCHIVE_FILE ${CMAKE_BINARY_DIR}/${NELVAR_SOURCE_ARCHIVE})
find_package(Git QUIET)
if(GIT_FOUND AND EXISTS ${CMAKE_SOURCE_DIR}/.git)
  # Compressed by gzip -n, as the other files, for a header without a time stamp.
  string(REGEX REPLACE "\\.gz$" "" tar_file ${NELVAR_SOURCE_ARCHIVE_FILE})
  add_custom_target(nelvar_source
    COMMAND ${GIT_EXECUTABLE} -C ${CMAKE_SOURCE_DIR} archive --format=tar --prefix=nelvar-${PROJECT_VERSION}/
            -o ${tar_file} HEAD
    COMMAND gzip -9 -n -f ${tar_file}
    BYPRODUCTS ${NELVAR_SOURCE_ARCHIVE_FILE}
    COMMENT "Archiving the committed source as ${NELVAR_SOURCE_ARCHIVE}"
    VERBATIM)
endif()
install(FILES ${NELVAR_SOURCE_ARCHIVE_FILE} DESTINATION ${NELVAR_DOC_DIR} OPTIONAL)

# --- Debian package ----------------------------------------------------------

# nelvar_<version>_amd64.deb. Library dependencies come from dpkg-shlibdeps;
# the charts' and window's font is named explicitly. The real-port mode's
# capability is never set by the package (see docs/carte-acquisition.md). scripts/package.sh
# builds it with Debian's hardening flags.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nelvar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Nelvar maintainers <auteur@nelvar.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "avancement d'une réaction chimique, mesuré par la pression")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Suit une réaction chimique qui dégage un gaz : une fois par seconde, lit la
pression dans le récipient fermé par la carte d'acquisition, par un boîtier
de mesure USB (une carte Arduino Uno ou Nano avec un capteur de pression et
le micrologiciel fourni avec le programme) ou par une carte simulée, la
convertit en quantité de gaz et en avancement, trace les deux courbes et
exporte les mesures vers le presse-papiers ou des fichiers texte.")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://nelvar.example.org/)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libcap2-bin")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# ---- Measuring box: firmware images and the script that flashes them ----
# /usr/share/nelvar/flash-box.sh DEVICE [SENSOR] finds the images in the
# firmware/ folder beside it; avrdude, which it runs, is suggested.
if(TARGET firmware)
  foreach(sensor ${NELVAR_FIRMWARE_SENSORS})
    install(FILES ${NELVAR_FIRMWARE_DIR}/nelvar-box-${sensor}.hex
            DESTINATION ${CMAKE_INSTALL_DATADIR}/nelvar/firmware)
  endforeach()
  install(PROGRAMS ${CMAKE_SOURCE_DIR}/scripts/flash-box.sh DESTINATION ${CMAKE_INSTALL_DATADIR}/nelvar)
  string(APPEND CPACK_DEBIAN_PACKAGE_SUGGESTS ", avrdude")
endif()
# ---- end of the measuring box ----

include(CPack)
