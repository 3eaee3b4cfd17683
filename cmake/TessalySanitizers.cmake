# TESSALY_SANITIZE takes a comma-separated list for -fsanitize= (for example "address,undefined" or
# "thread"); it applies to every target so that libraries and tests agree.
set(TESSALY_SANITIZE "" CACHE STRING "Sanitizers to build with, as for -fsanitize=")

if(TESSALY_SANITIZE)
    add_compile_options(-fsanitize=${TESSALY_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${TESSALY_SANITIZE})
endif()
