# Warning flags for the project's own targets; third-party code is not affected.
# Warnings are errors only where the scripts and CI ask for it (-DTESSALY_WERROR=ON): a plain configure, as a
# packager runs it, must build with any compiler, and newer ones bring new warnings, some of them false
# (GCC 12 reports -Wrestrict inside libstdc++'s own string code).
option(TESSALY_WERROR "Treat compiler warnings as errors" OFF)

function(tessaly_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(TESSALY_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
