# Installation (cmake --install) and the Debian package (cpack -G DEB):
# the program in bin/, its desktop entry and icons, README and licence in the
# documentation folder. Included from the top-level file once the program's
# target exists.
include(GNUInstallDirs)

install(TARGETS nelvar RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/nelvar.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/nelvar)

# The icon theme's PNGs, written into the build tree by a small tool from the
# program's own icon image.
set(NELVAR_ICON_SIZES 32 64 128 256)
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

# Debian package: nelvar_<version>_amd64.deb. Library dependencies come from
# dpkg-shlibdeps; the charts' and window's font is named explicitly. The
# real-port mode's capability is never set by the package (see README).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nelvar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Nelvar maintainers <maintainers@nelvar.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "avancement d'une réaction chimique, mesuré par la pression")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Suit une réaction chimique qui dégage un gaz : une fois par seconde, lit la
pression dans le récipient fermé par la carte d'acquisition (ou une carte
simulée), la convertit en quantité de gaz et en avancement, trace les deux
courbes et exporte les mesures vers le presse-papiers ou des fichiers texte.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libcap2-bin")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
