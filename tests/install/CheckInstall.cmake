# Installs the build tree into a staging directory and checks what the desktop needs there: the program
# with its plug-ins in one directory, the CH341A udev rule, the link in bin/, the language files, the menu entry, the "Template
# Document" type of *.dev files and the icons. Run as: cmake -DBUILD_DIR=... -DSTAGING=... -P CheckInstall.cmake
file(REMOVE_RECURSE ${STAGING})
set(ENV{DESTDIR} ${STAGING})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(root ${STAGING}/usr)
foreach(file lib/tessaly/tessaly lib/tessaly/tessaly-cli lib/tessaly/tessaly-sim.so lib/tessaly/tessaly-i2cdev.so
             lib/tessaly/tessaly-nvmem.so lib/tessaly/tessaly-ch341a.so lib/udev/rules.d/60-tessaly-ch341a.rules
             share/tessaly/languages/Deutsch.lng share/tessaly/languages/Francais.lng
             share/applications/tessaly.desktop share/mime/packages/tessaly-template.xml
             share/icons/hicolor/48x48/apps/tessaly.png share/icons/hicolor/256x256/apps/tessaly.png)
    if(NOT EXISTS ${root}/${file})
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()

foreach(program tessaly tessaly-cli)
    if(NOT IS_SYMLINK ${root}/bin/${program})
        message(FATAL_ERROR "bin/${program} is not a link")
    endif()
    file(READ_SYMLINK ${root}/bin/${program} link)
    if(NOT link STREQUAL "../lib/tessaly/${program}")
        message(FATAL_ERROR "bin/${program} leads to ${link}")
    endif()
endforeach()

file(READ ${root}/share/applications/tessaly.desktop entry)
foreach(line "Type=Application" "Exec=tessaly %f" "Icon=tessaly" "MimeType=application/x-tessaly-template;")
    string(FIND "${entry}" "${line}" found)
    if(found EQUAL -1)
        message(FATAL_ERROR "the desktop entry lacks ${line}")
    endif()
endforeach()

file(READ ${root}/share/mime/packages/tessaly-template.xml mime)
foreach(text "type=\"application/x-tessaly-template\"" "<comment>Template Document</comment>"
             "<glob pattern=\"*.dev\"/>")
    string(FIND "${mime}" "${text}" found)
    if(found EQUAL -1)
        message(FATAL_ERROR "the MIME type lacks ${text}")
    endif()
endforeach()
file(REMOVE_RECURSE ${STAGING})
