# Install rules and the packages made from them: a Debian package on POSIX hosts, a setup
# program from the Windows cross build. The version is the project's own.
include(GNUInstallDirs)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# On Windows the programs lie in the product's folder itself, beside the wallpaper changer
# and the screen saver that the dialog's autostart and screen-saver entries name there.
if(WIN32)
    set(program_destination .)
else()
    set(program_destination ${CMAKE_INSTALL_BINDIR})
endif()
foreach(program nimbrel-ext nimbrel-tool nimbrel-changer nimbrel-changer-win32 nimbrel-saver)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${program_destination})
        if(NOT WIN32)
            # Every symbol bound at start, so that the relocations can all be made read-only.
            target_link_options(${program} PRIVATE LINKER:-z,relro LINKER:-z,now)
        endif()
    endif()
endforeach()

if(NOT WIN32)
    set(packaging ${CMAKE_SOURCE_DIR}/packaging)
    set(made ${CMAKE_BINARY_DIR}/packaging)
    set(NIMBREL_MAINTAINER "Nimbrel Extensions developers <nimbrel@vexmoor.example>")
    configure_file(${packaging}/debian/changelog.in ${made}/changelog @ONLY)
    set(autostart_folder /etc/xdg/autostart)
    # The software centres' entry; its id is the file's name.
    set(NIMBREL_APPSTREAM_ID example.vexmoor.nimbrel)
    set(NIMBREL_HOMEPAGE https://nimbrel.vexmoor.example)
    configure_file(${packaging}/linux/nimbrel.metainfo.xml.in
                   ${made}/${NIMBREL_APPSTREAM_ID}.metainfo.xml @ONLY)

    # Manual pages and the changelog go compressed, without a time stamp in the gzip header.
    set(compressed)
    foreach(source ${packaging}/man/nimbrel-ext.1 ${packaging}/man/nimbrel-tool.1
                   ${packaging}/man/nimbrel-changer.1 ${packaging}/man/nimbrel-saver.1
                   ${made}/changelog
                   ${CMAKE_SOURCE_DIR}/NEWS)
        get_filename_component(name ${source} NAME)
        add_custom_command(OUTPUT ${made}/${name}.gz
                           COMMAND gzip -9nc ${source} > ${made}/${name}.gz
                           DEPENDS ${source})
        list(APPEND compressed ${made}/${name}.gz)
    endforeach()
    add_custom_target(nimbrel_compressed_docs ALL DEPENDS ${compressed})

    foreach(program nimbrel-ext nimbrel-tool nimbrel-changer nimbrel-saver)
        if(TARGET ${program})
            install(FILES ${made}/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
        endif()
    endforeach()
    if(TARGET nimbrel-ext)
        install(FILES ${packaging}/linux/nimbrel-ext.desktop
                DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    endif()
    if(TARGET nimbrel-changer)
        # The session starts the changer at login; the changer itself looks at the dialog's
        # autostart value. Sessions read /etc/xdg/autostart whatever the prefix.
        install(FILES ${packaging}/linux/nimbrel-changer.desktop DESTINATION ${autostart_folder})
    endif()
    if(TARGET nimbrel-saver)
        # xscreensaver lists the display programs its config folder describes and runs them
        # from its own folder of display programs.
        install(FILES ${packaging}/linux/nimbrel-saver.xml
                DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
        install(CODE "file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver\")
            file(CREATE_LINK ../../bin/nimbrel-saver
                 \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver/nimbrel-saver\"
                 SYMBOLIC)")
    endif()
    install(FILES ${made}/${NIMBREL_APPSTREAM_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    if(TARGET nimbrel_icons)
        install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
    endif()
    set(doc_destination ${CMAKE_INSTALL_DATADIR}/doc/nimbrel)
    install(FILES ${packaging}/debian/copyright ${made}/changelog.gz ${made}/NEWS.gz
            DESTINATION ${doc_destination})
endif()

set(CPACK_PACKAGE_NAME nimbrel)
set(CPACK_PACKAGE_VENDOR "${NIMBREL_VENDOR}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "settings dialog of a wallpaper changer and screen saver")
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX packages)

if(WIN32)
    set(CPACK_GENERATOR NSIS)
    set(CPACK_PACKAGE_FILE_NAME nimbrel-setup-${PROJECT_VERSION})
    set(CPACK_NSIS_PACKAGE_NAME "Nimbrel Extensions")
    set(CPACK_NSIS_DISPLAY_NAME "Nimbrel Extensions")
    set(CPACK_NSIS_DEFINES "Target amd64-unicode")
    set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
    set(CPACK_PACKAGE_INSTALL_DIRECTORY Nimbrel)
    # The uninstaller deletes HKCU or HKLM "Software\<vendor>\<this key>"; the settings live in
    # "Software\Vexmoor\Nimbrel", so this key must never be "Nimbrel".
    set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Nimbrel Extensions")
    set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
    # The wallpaper changer ends before its file is replaced or removed; the uninstaller
    # takes away the autostart and SYSTEM.INI entries that name files of the folder it
    # deletes (the settings key stays).
    if(TARGET nimbrel-changer-win32)
        set(changer_nsh "${CMAKE_SOURCE_DIR}/packaging/windows/changer.nsh")
        set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS
            "!include '${changer_nsh}'\n  !insertmacro NimbrelEndRunningChanger")
        set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS
            "!include '${changer_nsh}'\n  !insertmacro NimbrelEndRunningChanger\n  !insertmacro NimbrelRemoveEntriesNamingInstallFolder")
    endif()
    if(TARGET nimbrel-ext)
        set(CPACK_PACKAGE_EXECUTABLES "nimbrel-ext;Nimbrel Extensions")
        set(CPACK_NSIS_INSTALLED_ICON_NAME nimbrel-ext.exe)
    endif()
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${NIMBREL_MAINTAINER}")
    set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # The dialog needs Qt's X11 platform plugin, which no library links; its font is the
    # bitmap face of Wine's fonts (without it a narrow sans face stands in). The tool's
    # contact sheet is lettered in DejaVu Sans.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-wine)
    # sway starts swaybg itself; other wlroots compositors get the wallpaper through it.
    set(CPACK_DEBIAN_PACKAGE_SUGGESTS swaybg)
    # The autostart entry is a configuration file: an administrator's change survives.
    file(WRITE ${CMAKE_BINARY_DIR}/packaging/conffiles
         "${autostart_folder}/nimbrel-changer.desktop\n")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/conffiles)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    # CPack puts the summary above it as the synopsis.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Nimbrel Extensions is the one dialog through which a user sets up the Nimbrel
wallpaper changer and screen saver: the wallpaper folder and change interval,
how pictures are fitted or resized and placed, the screen saver's interval and
its protection by an access key and a password, autostart and the system
screen-saver entry. It lists and previews the pictures of the wallpaper folder,
asks the wallpaper changer for a chosen picture, and converts the product's
older NWP pictures into BMP files.
.
The package also holds nimbrel-changer, the wallpaper changer itself, which
sets the wallpaper where each desktop keeps it (GNOME and its family, Cinnamon,
MATE, Xfce, KDE Plasma, sway and other Wayland compositors, the X11 root window
elsewhere) and starts with the session while the dialog's autostart is on;
nimbrel-saver, the screen saver as a display program of the session's screen
saver (xscreensaver lists it; locking stays with the session's locker); and
nimbrel-tool, a command-line companion that expands NWP files, decodes JPEG
pictures, lists folders and reads and writes the settings.")
endif()
include(CPack)
