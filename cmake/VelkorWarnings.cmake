# Warnings for every target of the project, and the sanitizer build.
if(VELKOR_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

function(velkor_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(VELKOR_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
