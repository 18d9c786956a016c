# The picture side of the main window: JPEG and GIF decoding (libjpeg, giflib),
# the picture control, the pictures built into the program and the "ico"
# folder copied beside it.
set(MAIN_PICTURE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/embedded_pictures.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gif_animation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gif_canvas.cpp
    ${CMAKE_CURRENT_LIST_DIR}/jpeg_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/picture_control.cpp
    ${CMAKE_CURRENT_LIST_DIR}/picture_error.cpp
    ${CMAKE_CURRENT_LIST_DIR}/picture_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/picture_playback.cpp
    ${CMAKE_CURRENT_LIST_DIR}/reported_picture_files.cpp
)

# The tool bar's picture files, drawn by ico/make_pictures.sh.
set(MAIN_TOOL_BAR_PICTURES
    info_active_ico.jpg info_blue_ico.jpg info_hover_ico.jpg
    left_active_ico.jpg left_blue_ico.jpg left_gray_ico.jpg left_hover_ico.jpg
    refresh_blue_ico.jpg refresh_hover_ico.jpg
    right_active_ico.jpg right_blue_ico.jpg right_gray_ico.jpg right_hover_ico.jpg
    star_full_active_ico.jpg star_full_hover_ico.jpg star_full_ico.jpg
)
set(MAIN_ANIMATED_PICTURES load.gif)

# main_window_add_pictures(<target>)
#   Builds the tool bar's JPEG pictures and the program icon into <target> as
#   Qt resources (":/pictures/<file name>"), and copies the "ico" folder's
#   pictures to ${QUORVANE_OUTPUT_DIR}/ico, where the program finds them when
#   started from its own folder. The copy is redone when a picture changes.
function(main_window_add_pictures target)
    set(ico_dir ${CMAKE_SOURCE_DIR}/ico)
    list(TRANSFORM MAIN_TOOL_BAR_PICTURES PREPEND ${ico_dir}/ OUTPUT_VARIABLE embedded)
    qt_add_resources(${target} tool_bar_pictures PREFIX /pictures BASE ${ico_dir}
        FILES ${embedded})
    qt_add_resources(${target} program_icon PREFIX /pictures BASE ${CMAKE_SOURCE_DIR}/resources
        FILES ${CMAKE_SOURCE_DIR}/resources/quorvane_icon.png)

    set(copies)
    foreach(picture IN LISTS MAIN_TOOL_BAR_PICTURES MAIN_ANIMATED_PICTURES)
        set(copy ${QUORVANE_OUTPUT_DIR}/ico/${picture})
        add_custom_command(OUTPUT ${copy}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different ${ico_dir}/${picture} ${copy}
            DEPENDS ${ico_dir}/${picture}
            COMMENT "Copying ico/${picture} beside the program"
            VERBATIM)
        list(APPEND copies ${copy})
    endforeach()
    add_custom_target(${target}_ico DEPENDS ${copies})
    add_dependencies(${target} ${target}_ico)
endfunction()
