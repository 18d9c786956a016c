# The upgrader's texts in 28 languages (resources/upgrader_texts, one JSON
# file per language) and the choice of the language.
target_sources(upgrader PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/text_format.cpp
    ${CMAKE_CURRENT_LIST_DIR}/upgrader_language.cpp
    ${CMAKE_CURRENT_LIST_DIR}/upgrader_texts.cpp
)
file(GLOB UPGRADER_TEXT_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/upgrader_texts/*.json)
qt_add_resources(upgrader upgrader_texts PREFIX /upgrader_texts
    BASE ${CMAKE_SOURCE_DIR}/resources/upgrader_texts FILES ${UPGRADER_TEXT_FILES})
