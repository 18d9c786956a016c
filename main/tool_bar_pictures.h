#pragma once

namespace main_window {

// The picture files of one tool-bar button, relative to the current folder.
// A button without a picture for a state has nullptr there.
struct ButtonPictures {
    const char* normal;
    const char* unavailable;
    const char* hover;
    const char* pressed;
};

inline constexpr ButtonPictures kFavoritePictures{"ico/star_full_ico.jpg", nullptr,
                                                  "ico/star_full_hover_ico.jpg",
                                                  "ico/star_full_active_ico.jpg"};
inline constexpr ButtonPictures kAboutPictures{"ico/info_blue_ico.jpg", nullptr,
                                               "ico/info_hover_ico.jpg", "ico/info_active_ico.jpg"};
inline constexpr ButtonPictures kBackPictures{"ico/left_blue_ico.jpg", "ico/left_gray_ico.jpg",
                                              "ico/left_hover_ico.jpg", "ico/left_active_ico.jpg"};
inline constexpr ButtonPictures kForwardPictures{"ico/right_blue_ico.jpg", "ico/right_gray_ico.jpg",
                                                 "ico/right_hover_ico.jpg",
                                                 "ico/right_active_ico.jpg"};
inline constexpr ButtonPictures kProcessPictures{"ico/refresh_blue_ico.jpg", nullptr,
                                                 "ico/refresh_hover_ico.jpg", nullptr};
inline constexpr const char* kLoadingPicture = "ico/load.gif";

// The star and the info picture show their hover picture only while the
// pointer is inside their inner 22 x 22 pixels.
inline bool InsideHoverSquare(int x, int y) {
    return x >= 2 && x <= 23 && y >= 2 && y <= 23;
}

}  // namespace main_window
