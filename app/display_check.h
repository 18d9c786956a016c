#pragma once

namespace app {

// Whether the program's windows can show: the platform Qt will use
// (QT_QPA_PLATFORM, else the session's Wayland or X display) can be
// reached. A start that cannot show a window (over ssh without a display, a
// script) ends before anything else, so that it never acts on an
// unfinished upgrade whose new version it could not try.
bool DisplayReachable();

}  // namespace app
