# What makes an update trustworthy: the publisher's minisign signature of the
# info file (libsodium) and the SHA-256 of each downloaded file.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)
target_sources(upgrader PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/file_hash.cpp
    ${CMAKE_CURRENT_LIST_DIR}/minisign_signature.cpp
    ${CMAKE_CURRENT_LIST_DIR}/signed_comment.cpp
)
target_link_libraries(upgrader PUBLIC PkgConfig::SODIUM)
