# What `cmake --install` puts in place: the desktop program and the command line with their plug-ins, the
# language files, the CH341A programmer's udev rule, and the desktop integration (a menu entry, the "Template Document" type of *.dev files and
# the icon). The directories are TessalyLayout's.
#
# The programs look for plug-ins in their own directory, so they and the plug-ins go to lib/tessaly/, and
# bin/tessaly and bin/tessaly-cli are links to them (a program finds its directory through /proc/self/exe,
# which names the file the link leads to).
install(TARGETS tessaly tessaly-cli RUNTIME DESTINATION ${TESSALY_INSTALL_PROGRAM_DIR})
install(TARGETS tessaly-sim tessaly-i2cdev tessaly-nvmem tessaly-ch341a LIBRARY DESTINATION ${TESSALY_INSTALL_PROGRAM_DIR})
# The udev rule that opens the CH341A programmers to the user at the seat. udev reads lib/udev/rules.d/ of
# the /usr prefix (the Debian package's); under another prefix the plug-in's driver facility installs it.
install(FILES ${PROJECT_SOURCE_DIR}/resources/60-tessaly-ch341a.rules DESTINATION lib/udev/rules.d)

# Relative, so that the links hold wherever the prefix is; the prefix itself is the one given to
# cmake --install, hence read when installing.
foreach(program tessaly tessaly-cli)
    file(RELATIVE_PATH target /${CMAKE_INSTALL_BINDIR} /${TESSALY_INSTALL_PROGRAM_DIR}/${program})
    install(CODE "
        set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        set(link \"\${bin}/${program}\")
        file(MAKE_DIRECTORY \"\${bin}\")
        file(REMOVE \"\${link}\")
        file(CREATE_LINK \"${target}\" \"\${link}\" SYMBOLIC)
        message(STATUS \"Installing: \${link} -> ${target}\")
    ")
endforeach()

install(FILES ${TESSALY_LANGUAGE_FILES} DESTINATION ${TESSALY_INSTALL_LANGUAGE_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/tessaly.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/tessaly-template.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
foreach(size 16 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/tessaly-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME tessaly.png)
endforeach()

# The desktop's caches learn of the new files at once when installing for real (not into a staging
# DESTDIR, where packaging runs them on the target system) and the tools are there.
find_program(TESSALY_UPDATE_MIME update-mime-database)
find_program(TESSALY_UPDATE_DESKTOP update-desktop-database)
install(CODE "
    if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
        if(EXISTS \"${TESSALY_UPDATE_MIME}\")
            execute_process(COMMAND \"${TESSALY_UPDATE_MIME}\" \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/mime\")
        endif()
        if(EXISTS \"${TESSALY_UPDATE_DESKTOP}\")
            execute_process(COMMAND \"${TESSALY_UPDATE_DESKTOP}\"
                            \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
        endif()
    endif()
")
