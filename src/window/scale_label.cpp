#include "window/scale_label.h"

#include <QPainter>
#include <algorithm>

namespace veltro {

ScaleLabel::ScaleLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

void ScaleLabel::setBarSpan(double leftShare, double rightShare) {
    barLeftShare_ = leftShare;
    barRightShare_ = rightShare;
    update();
}

void ScaleLabel::setMarks(std::vector<ScaleMark> marks) {
    marks_ = std::move(marks);
    update();
}

double ScaleLabel::barX(double fraction) const {
    const double left = barLeftShare_ * width();
    const double right = barRightShare_ * width();
    return left + fraction * (right - left);
}

double ScaleLabel::markLeft(int index) const {
    const ScaleMark& mark = marks_.at(static_cast<std::size_t>(index));
    const double textWidth = fontMetrics().horizontalAdvance(mark.text);
    const double centred = barX(mark.fraction) - textWidth / 2;
    return std::clamp(centred, 0.0, std::max(0.0, width() - textWidth));
}

void ScaleLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const double baseline = fontMetrics().ascent();
    for (int i = 0; i < static_cast<int>(marks_.size()); ++i) {
        painter.drawText(QPointF(markLeft(i), baseline), marks_[static_cast<std::size_t>(i)].text);
    }
}

}  // namespace veltro
