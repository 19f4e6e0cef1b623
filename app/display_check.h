#pragma once

namespace veltro {

// Whether the window can be shown: Qt ends in an abort when its platform
// finds no display. An explicit QT_QPA_PLATFORM other than xcb or wayland
// (offscreen, vnc, eglfs ...) is taken as it is; otherwise DISPLAY or
// WAYLAND_DISPLAY must name a display server that accepts a connection. A
// display on another host is taken as named.
bool graphicalDisplayAvailable();

inline constexpr const char* kNoDisplayMessage =
    "veltro-panel needs a graphical display: DISPLAY or WAYLAND_DISPLAY is unset or unreachable.\n";

}  // namespace veltro
