#include "window/outer_frame.h"

#include <algorithm>

namespace veltro {

QRect clientRectForFrame(const QRect& client, const QMargins& frame,
                         const OuterFrameTarget& target) {
    QRect result = client;
    if (target.left) {
        result.moveLeft(*target.left + frame.left());
    }
    if (target.top) {
        result.moveTop(*target.top + frame.top());
    }
    if (target.height) {
        result.setHeight(std::max(0, *target.height - frame.top() - frame.bottom()));
    }
    return result;
}

QRect frameRectOf(const QRect& client, const QMargins& frame) {
    return client.marginsAdded(frame);
}

}  // namespace veltro
