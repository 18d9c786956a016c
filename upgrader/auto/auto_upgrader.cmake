# The upgrader component: the automatic check, the info file's verdict, the
# download series and the hand-over to the replacer.
target_sources(upgrader PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/auto_check.cpp
    ${CMAKE_CURRENT_LIST_DIR}/auto_upgrader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/download_figures.cpp
    ${CMAKE_CURRENT_LIST_DIR}/download_series.cpp
    ${CMAKE_CURRENT_LIST_DIR}/info_check.cpp
    ${CMAKE_CURRENT_LIST_DIR}/info_signature.cpp
    ${CMAKE_CURRENT_LIST_DIR}/retry_backoff.cpp
    ${CMAKE_CURRENT_LIST_DIR}/rollout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/upgrader_messages.cpp
    ${CMAKE_CURRENT_LIST_DIR}/version_decision.cpp
)
