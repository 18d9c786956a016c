# Handing over to the replacer: the restart parameter, the downloaded files'
# names, writing out and starting the embedded Ruzozudo3.
target_sources(upgrader PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/private_folder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/refused_upgrade.cpp
    ${CMAKE_CURRENT_LIST_DIR}/replacer_launch.cpp
    ${CMAKE_CURRENT_LIST_DIR}/restart_params.cpp
    ${CMAKE_CURRENT_LIST_DIR}/temp_files.cpp
    ${CMAKE_CURRENT_LIST_DIR}/upgrade_confirmation.cpp
)
