#pragma once

#include <QProxyStyle>

namespace veltro {

// The style of the window's text boxes, drawing each box's panel and frame
// from a pixmap made once per size, state and palette. The reading boxes
// change their text on every frame; the style would otherwise compute the
// same rounded frame anew on each repaint, which costs more than the text.
class CachedFrameStyle : public QProxyStyle {
    Q_OBJECT

  public:
    // `baseStyleName` as QStyle::name() gives it: the application's style.
    explicit CachedFrameStyle(const QString& baseStyleName);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

}  // namespace veltro
