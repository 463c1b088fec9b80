# What `cmake --install` puts on a system, and the Debian package made from it
# (`cmake --build <dir> --target package`).
include(GNUInstallDirs)

set(LARKSPUR_APP_ID example.ottermere.Larkspurhollow)
set(larkspur_data ${PROJECT_SOURCE_DIR}/data)
set(larkspur_generated ${PROJECT_BINARY_DIR}/data)
set(LARKSPUR_METAINFO ${larkspur_generated}/${LARKSPUR_APP_ID}.metainfo.xml)

# The release listed for software centres is the one the program reports.
configure_file(${larkspur_data}/${LARKSPUR_APP_ID}.metainfo.xml.in ${LARKSPUR_METAINFO} @ONLY)

# Menus and panels pick the closest raster size; the SVG stays the one source.
option(LARKSPUR_PNG_ICONS "Render and install PNG icons beside the SVG one" ON)
set(LARKSPUR_ICON_SIZES 16 22 24 32 48 64 128 256)
set(larkspur_icons)
if(LARKSPUR_PNG_ICONS)
    find_program(LARKSPUR_RSVG_CONVERT rsvg-convert)
    if(NOT LARKSPUR_RSVG_CONVERT)
        message(FATAL_ERROR "rsvg-convert renders the PNG icons: install librsvg2-bin "
                            "(scripts/install-deps.sh does), or configure with "
                            "-DLARKSPUR_PNG_ICONS=OFF for the SVG icon alone")
    endif()
    foreach(size IN LISTS LARKSPUR_ICON_SIZES)
        set(png ${larkspur_generated}/icons/${size}/larkspurhollow.png)
        add_custom_command(
            OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${larkspur_generated}/icons/${size}
            COMMAND ${LARKSPUR_RSVG_CONVERT} --width ${size} --height ${size} --keep-aspect-ratio
                    --output ${png} ${larkspur_data}/larkspurhollow.svg
            DEPENDS ${larkspur_data}/larkspurhollow.svg
            COMMENT "Rendering the ${size}px icon"
            VERBATIM)
        list(APPEND larkspur_icons ${png})
        install(FILES ${png}
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
endif()

# Manual pages are installed compressed; -n keeps the archive free of a time stamp.
set(larkspur_manpage ${larkspur_generated}/larkspurhollow.1.gz)
add_custom_command(
    OUTPUT ${larkspur_manpage}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${larkspur_generated}
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" sh ${PROJECT_SOURCE_DIR}/docs/larkspurhollow.1
            ${larkspur_manpage}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/larkspurhollow.1
    COMMENT "Compressing the manual page"
    VERBATIM)
add_custom_target(larkspur_install_data ALL DEPENDS ${larkspur_icons} ${larkspur_manpage})

# Translations are built into the program (:/i18n), so no catalogue is installed beside it.
install(TARGETS larkspurhollow RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${larkspur_data}/larkspurhollow.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${larkspur_data}/larkspurhollow.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${LARKSPUR_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${larkspur_manpage} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME larkspurhollow)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Ottermere Apps")
set(CPACK_PACKAGE_CONTACT "Ottermere Apps <larkspurhollow@ottermere.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "timers, focus sessions and sequences in the system tray")
# Lines stay under 80 columns with the leading space dpkg adds.
set(CPACK_PACKAGE_DESCRIPTION
    "Larkspurhollow runs any number of named timers side by side from the system\n"
    "tray: countdowns, stopwatches, endless laps and countdowns to a clock time.\n"
    "It notifies when a timer is done, runs sequences of timers and a focus cycle\n"
    "with statistics, and takes commands from scripts through larkspurhollow://\n"
    "addresses.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_HOMEPAGE_URL "https://ottermere.example/larkspurhollow/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no library link shows: the QML modules the views import, the image plugin for the SVG icon, the fonts for symbols and emoji, the decoders and
# audio sink for imported sounds, and the sound theme whose clips the sound list offers.
set(larkspur_runtime
    qml6-module-qtqml
    qml6-module-qtqml-models
    qml6-module-qtqml-workerscript
    qml6-module-qtquick
    qml6-module-qtquick-controls
    qml6-module-qtquick-templates
    qml6-module-qtquick-layouts
    qml6-module-qtquick-shapes
    libqt6svg6
    fonts-material-design-icons-iconfont
    fonts-noto-color-emoji
    gstreamer1.0-plugins-base
    gstreamer1.0-plugins-good
    gstreamer1.0-plugins-bad
    gstreamer1.0-libav
    gstreamer1.0-pulseaudio
    sound-theme-freedesktop)
list(JOIN larkspur_runtime ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# A text font, translated dialogs and the menu cache that maps the URL scheme to the program.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, qt6-translations-l10n, desktop-file-utils")

include(CPack)
