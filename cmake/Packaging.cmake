# The release archive: `cmake --build <build> --target package` (CPack) makes
# quorvane-<version>-linux-<arch>.tar.gz (with "-unsigned" before "-linux"
# when the client trusts no key) with the program (the executable and
# the client library beside it), the replacer, the
# tool bar's pictures, the program icon in the theme sizes, the desktop entry
# template, the per-user install and uninstall scripts and the list of runtime
# packages. Installed files are stripped; scripts/package builds it in Release.
install(TARGETS quorvane quorvane_client quorvane_updates Ruzozudo3 RUNTIME DESTINATION . LIBRARY DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/ico/ DESTINATION ico
        FILES_MATCHING PATTERN "*.jpg" PATTERN "*.gif")
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/icons/ DESTINATION icons
        FILES_MATCHING PATTERN "quorvane_*.png")
install(FILES ${CMAKE_SOURCE_DIR}/release/quorvane.desktop.in
              ${CMAKE_SOURCE_DIR}/release/RUNTIME-PACKAGES.txt
              ${CMAKE_SOURCE_DIR}/release/manifest-paths.sh DESTINATION .)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/release/install.sh
                 ${CMAKE_SOURCE_DIR}/release/uninstall.sh DESTINATION .)

set(CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR "Quorvane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# A client without the publisher's key installs whatever a network attacker
# serves: its archive says "unsigned" in its name, and a Release build makes
# one only when asked (QUORVANE_UNSIGNED_RELEASE, scripts/package --unsigned).
option(QUORVANE_UNSIGNED_RELEASE "Allow a Release archive whose client installs unsigned updates" OFF)
if(QUORVANE_UPDATE_KEYS_BUILT_IN)
    set(CPACK_PACKAGE_FILE_NAME "quorvane-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR}")
else()
    set(CPACK_PACKAGE_FILE_NAME "quorvane-${PROJECT_VERSION}-unsigned-linux-${CMAKE_SYSTEM_PROCESSOR}")
    if(CMAKE_BUILD_TYPE STREQUAL "Release" AND NOT QUORVANE_UNSIGNED_RELEASE)
        set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/refuse_unsigned_release.cmake)
    endif()
endif()
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
