function(marigold_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wshadow -Wconversion
    -Wno-sign-conversion)
endfunction()
