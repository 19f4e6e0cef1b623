#include "window/bar_widget.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace veltro {

BarWidget::BarWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BarWidget::assign(float& field, float value) {
    // Bit-exact comparison: any change of a stored value may move the fill.
    if (field == value && !std::isnan(value)) {
        return;
    }
    field = value;
    update();
}

void BarWidget::setMin(float min) {
    assign(min_, min);
}
void BarWidget::setMax(float max) {
    assign(max_, max);
}
void BarWidget::setValue(float value) {
    assign(value_, value);
}

double BarWidget::fillFraction() const {
    const double span = double(max_) - double(min_);
    if (!(span > 0) || std::isnan(value_)) {
        return 0.0;
    }
    return std::clamp((double(value_) - double(min_)) / span, 0.0, 1.0);
}

QRectF BarWidget::troughRect() const {
    return QRectF(rect()).adjusted(1, 1, -1, -1);
}

QColor BarWidget::fillColour() const {
    return palette().color(QPalette::Highlight);
}

void BarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF outer = rect();
    painter.fillRect(outer, palette().color(QPalette::Button));
    // One-pixel sunken frame: dark top/left, light bottom/right. Filled as
    // rectangles: a pen of width 1 goes through the stroker, several times
    // the cost of the rest of the bar.
    const QColor dark = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    painter.fillRect(QRect(0, 0, width(), 1), dark);
    painter.fillRect(QRect(0, 0, 1, height()), dark);
    painter.fillRect(QRect(1, height() - 1, width() - 1, 1), light);
    painter.fillRect(QRect(width() - 1, 1, 1, height() - 1), light);

    const QRectF trough = troughRect();
    const double filled = trough.width() * fillFraction();
    if (filled <= 0) {
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fillColour());
    painter.drawRect(QRectF(trough.left(), trough.top(), filled, trough.height()));
}

}  // namespace veltro
