#include "app/display_check.h"

#include <wayland-client.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <sstream>
#include <string>

namespace app {

namespace {

bool XServerReachable() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reachable;
}

bool WaylandReachable() {
    // A socket the compositor handed over is taken by whoever connects
    // first: it is left to Qt.
    if (std::getenv("WAYLAND_SOCKET") != nullptr)
        return true;
    if (std::getenv("WAYLAND_DISPLAY") == nullptr)
        return false;
    wl_display* display = wl_display_connect(nullptr);
    if (display != nullptr)
        wl_display_disconnect(display);
    return display != nullptr;
}

bool PlatformReachable(const std::string& Name) {
    if (Name == "xcb")
        return XServerReachable();
    if (Name.starts_with("wayland"))
        return WaylandReachable();
    // offscreen, vnc, eglfs, ...: Qt's own to open.
    return true;
}

}  // namespace

bool DisplayReachable() {
    const char* platforms = std::getenv("QT_QPA_PLATFORM");
    if (platforms == nullptr || *platforms == '\0')
        return WaylandReachable() || XServerReachable();
    // "name[:options]" entries, separated by ";", tried in order.
    std::istringstream entries(platforms);
    for (std::string entry; std::getline(entries, entry, ';');)
        if (PlatformReachable(entry.substr(0, entry.find(':'))))
            return true;
    return false;
}

}  // namespace app
