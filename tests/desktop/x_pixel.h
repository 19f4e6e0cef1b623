#pragma once
// One pixel of a window as the X server holds it, read over the test's own
// connection: a sample takes a round trip, not a program start, so a check
// can look at every poll cycle without loading the machine it measures.
#include <xcb/xcb.h>

#include <QColor>
#include <QString>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace veltro::testing {

class XPixel {
  public:
    XPixel(const QString& display, const QString& window)
        : connection_(xcb_connect(display.toLocal8Bit().constData(), nullptr)),
          window_(window.toUInt()) {}
    ~XPixel() { xcb_disconnect(connection_); }
    XPixel(const XPixel&) = delete;
    XPixel& operator=(const XPixel&) = delete;

    // The pixel at (x, y) in the window; none while the window cannot be read.
    std::optional<QColor> at(int x, int y) const {
        if (xcb_connection_has_error(connection_) != 0) {
            return std::nullopt;
        }
        const auto cookie = xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_,
                                          static_cast<int16_t>(x), static_cast<int16_t>(y), 1,
                                          1, ~0u);
        xcb_get_image_reply_t* reply = xcb_get_image_reply(connection_, cookie, nullptr);
        if (reply == nullptr) {
            return std::nullopt;
        }
        std::optional<QColor> pixel;
        if (xcb_get_image_data_length(reply) >= 4) {  // 24-bit depth: blue, green, red, pad
            uint32_t value = 0;
            std::memcpy(&value, xcb_get_image_data(reply), sizeof value);
            pixel = QColor::fromRgb(value & 0xFFFFFF);
        }
        std::free(reply);
        return pixel;
    }

  private:
    xcb_connection_t* connection_;
    xcb_window_t window_;
};

}  // namespace veltro::testing
