set(MAIN_PICTURE_SOURCES)
function(main_window_add_pictures target)
endfunction()
