# The installation, under the Linux conventions: <prefix>/bin/tesmira-road starts the program in
# <prefix>/lib/tesmira-road; <prefix>/share/tesmira-road is the installation folder with its Bin (the engines'
# reflection tables and the starter catalogues), Templates and Docs; the desktop entry, the documents' MIME types and
# the icons go where the desktop looks for them. `cmake --install` honours CMAKE_INSTALL_PREFIX and DESTDIR.

set(TESMIRA_INSTALL_DATA share/tesmira-road)
set(desktop ${PROJECT_SOURCE_DIR}/cmake/desktop)

install(TARGETS qorroad RUNTIME DESTINATION lib/tesmira-road)
install(PROGRAMS ${desktop}/tesmira-road DESTINATION bin)
install(FILES ${TESMIRA_ENGINE_BIN_DIR}/rtab_1.rtb ${TESMIRA_ENGINE_BIN_DIR}/rtab_2.rtb
              ${CMAKE_BINARY_DIR}/outside/servers/QorRoad.qord ${CMAKE_BINARY_DIR}/outside/servers/QorRoad.qorp
        DESTINATION ${TESMIRA_INSTALL_DATA}/Bin)
install(DIRECTORY DESTINATION ${TESMIRA_INSTALL_DATA}/Templates)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${TESMIRA_INSTALL_DATA}/Docs)

install(FILES ${desktop}/marvesta-tesmira-road.desktop DESTINATION share/applications)
install(FILES ${desktop}/marvesta-tesmira-road.xml DESTINATION share/mime/packages)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${desktop}/icons/${size}/marvesta-tesmira-road.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps)
  install(FILES ${desktop}/icons/${size}/application-x-qorroad-project.png
                ${desktop}/icons/${size}/application-x-qorroad-template.png
          DESTINATION share/icons/hicolor/${size}x${size}/mimetypes)
endforeach()

# `make package`: a Debian package of the optimised program.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tesmira-road)
set(CPACK_PACKAGE_VENDOR Marvesta)
set(CPACK_PACKAGE_VERSION 6.0.42)
set(CPACK_PACKAGE_CONTACT "Marvesta <support@tesmira-road.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Design of outdoor lighting for roads, open areas and interchanges")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Fonts the program's faces map to
# (the desktop's MIME, entry and icon caches are refreshed by their packages' triggers).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, xdg-utils")
include(CPack)

if(TESMIRA_TESTS)
  add_test(NAME InstalledProgram.StartsFromItsInstallation
    COMMAND bash ${PROJECT_SOURCE_DIR}/cmake/install_test.sh ${CMAKE_BINARY_DIR} ${TESMIRA_ARTIFACTS_DIR})
  set_tests_properties(InstalledProgram.StartsFromItsInstallation PROPERTIES TIMEOUT 120)
endif()
