# Every target of ours builds with the same warnings; libraries of others are
# included as system headers so their warnings do not drown ours.
add_compile_options(-Wall -Wextra)
if(QUORVANE_WERROR)
    add_compile_options(-Werror)
endif()
