# Warning flags for the project's own targets; third-party code is not affected.
option(TESSALY_WERROR "Treat compiler warnings as errors" ON)

function(tessaly_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(TESSALY_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
