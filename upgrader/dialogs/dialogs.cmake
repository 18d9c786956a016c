# The upgrader's windows: the upgrade question, the download wizard and the
# password window (.ui definitions in resources/, compiled by AUTOUIC), and
# their two pictures.
target_sources(upgrader PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/dialog_frame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/password_form.cpp
    ${CMAKE_CURRENT_LIST_DIR}/upgrade_question.cpp
    ${CMAKE_CURRENT_LIST_DIR}/upgrader_wizard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wizard_form.cpp
    ${CMAKE_SOURCE_DIR}/resources/upgrade_message_form.ui
    ${CMAKE_SOURCE_DIR}/resources/upgrade_password_form.ui
    ${CMAKE_SOURCE_DIR}/resources/upgrade_wizard_form.ui
)
qt_add_resources(upgrader upgrader_pictures PREFIX /upgrader_pictures
    BASE ${CMAKE_SOURCE_DIR}/resources
    FILES ${CMAKE_SOURCE_DIR}/resources/upgrader_icon.png
          ${CMAKE_SOURCE_DIR}/resources/upgrader_wizard_side.png)
