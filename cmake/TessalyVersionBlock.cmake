# The version block of Tessaly's executables: the About box reads it back from the executable's file.

set(TESSALY_COMPANY_NAME "Halvorn")
set(TESSALY_LEGAL_COPYRIGHT "Copyright (C) 2026")
set(TESSALY_FILE_DESCRIPTION "Tessaly serial EEPROM programmer")

# The build number is the number of commits up to HEAD, taken when CMake configures; pass
# -DTESSALY_BUILD_NUMBER=N to set it, and it is 0 outside a git checkout.
if(NOT DEFINED TESSALY_BUILD_NUMBER)
    set(TESSALY_BUILD_NUMBER 0)
    find_package(Git QUIET)
    if(GIT_FOUND)
        execute_process(
            COMMAND ${GIT_EXECUTABLE} rev-list --count HEAD
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
            OUTPUT_VARIABLE commit_count
            OUTPUT_STRIP_TRAILING_WHITESPACE
            ERROR_QUIET
            RESULT_VARIABLE git_result)
        if(git_result EQUAL 0 AND commit_count MATCHES "^[0-9]+$")
            set(TESSALY_BUILD_NUMBER ${commit_count})
        endif()
    endif()
endif()
if(NOT TESSALY_BUILD_NUMBER MATCHES "^[0-9]+$")
    message(FATAL_ERROR "TESSALY_BUILD_NUMBER must be a decimal number, not '${TESSALY_BUILD_NUMBER}'")
endif()

# Embeds the version block in the executable target.
function(tessaly_version_block target)
    set(TESSALY_VERSION_TARGET ${target})
    get_target_property(output_name ${target} OUTPUT_NAME)
    if(output_name)
        set(TESSALY_ORIGINAL_FILE_NAME ${output_name})
    else()
        set(TESSALY_ORIGINAL_FILE_NAME ${target})
    endif()
    set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}_VersionBlock.cpp)
    configure_file(${PROJECT_SOURCE_DIR}/resources/VersionBlock.cpp.in ${source} @ONLY)
    target_sources(${target} PRIVATE ${source})
endfunction()
