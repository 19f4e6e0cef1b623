#pragma once

#include <QMargins>
#include <QRect>
#include <optional>

namespace veltro {

// The outer frame the settings ask for, in pixels: the frame's screen
// position and its height. Unset parts leave the window as it is.
struct OuterFrameTarget {
    std::optional<int> left;
    std::optional<int> top;
    std::optional<int> height;
};

// The client rectangle that puts the outer frame where the target says,
// given the frame the window manager draws around the client. A height
// smaller than the frame leaves no client area, never a negative one.
QRect clientRectForFrame(const QRect& client, const QMargins& frame,
                         const OuterFrameTarget& target);

// The outer frame of a client rectangle.
QRect frameRectOf(const QRect& client, const QMargins& frame);

}  // namespace veltro
