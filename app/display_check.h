#pragma once

namespace veltro {

// Qt ends a program whose platform finds no display (unset, unreachable, or
// refusing it) in an abort with a paragraph about reinstalling. Held while
// the QApplication is made, this says what is wrong in one line and ends
// with exit status 1 instead; the platform's own reasons are not repeated.
// Asking Qt itself, rather than probing the display first, costs no extra
// connection and judges the display exactly as the window will use it.
class NoDisplayExit {
public:
    NoDisplayExit();
    ~NoDisplayExit();
    NoDisplayExit(const NoDisplayExit&) = delete;
    NoDisplayExit& operator=(const NoDisplayExit&) = delete;
};

inline constexpr const char* kNoDisplayMessage =
    "veltro-panel needs a graphical display: DISPLAY or WAYLAND_DISPLAY is unset or unreachable.\n";

}  // namespace veltro
