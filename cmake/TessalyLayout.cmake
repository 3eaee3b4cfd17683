# Where the installed files go, and where the language files are in the build tree. The programs find the
# language files by paths relative to their own directory, so that an installed tree works under any prefix
# (cmake --install --prefix, a package) and a build tree runs as it is.
include(GNUInstallDirs)

# The programs and the plug-ins share one directory: the programs look for plug-ins in their own.
set(TESSALY_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/tessaly)
set(TESSALY_INSTALL_LANGUAGE_DIR ${CMAKE_INSTALL_DATADIR}/tessaly/languages)
set(TESSALY_BUILD_LANGUAGE_DIR ${CMAKE_BINARY_DIR}/share/tessaly/languages)

file(RELATIVE_PATH TESSALY_INSTALLED_LANGUAGES_FROM_PROGRAM
     /${TESSALY_INSTALL_PROGRAM_DIR} /${TESSALY_INSTALL_LANGUAGE_DIR})
file(RELATIVE_PATH TESSALY_BUILD_LANGUAGES_FROM_PROGRAM
     ${CMAKE_RUNTIME_OUTPUT_DIRECTORY} ${TESSALY_BUILD_LANGUAGE_DIR})

set(TESSALY_LANGUAGE_FILES
    ${PROJECT_SOURCE_DIR}/resources/languages/Deutsch.lng
    ${PROJECT_SOURCE_DIR}/resources/languages/Francais.lng
)

# Copies the language files into the build tree whenever one changes.
set(copied_languages)
foreach(file ${TESSALY_LANGUAGE_FILES})
    get_filename_component(name ${file} NAME)
    add_custom_command(OUTPUT ${TESSALY_BUILD_LANGUAGE_DIR}/${name}
                       COMMAND ${CMAKE_COMMAND} -E copy_if_different ${file} ${TESSALY_BUILD_LANGUAGE_DIR}/${name}
                       DEPENDS ${file})
    list(APPEND copied_languages ${TESSALY_BUILD_LANGUAGE_DIR}/${name})
endforeach()
add_custom_target(tessaly_languages ALL DEPENDS ${copied_languages})
