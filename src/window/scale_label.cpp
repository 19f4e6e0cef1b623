#include "window/scale_label.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

namespace veltro {

ScaleLabel::ScaleLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

void ScaleLabel::setBarSpan(double leftShare, double rightShare) {
    barLeftShare_ = leftShare;
    barRightShare_ = rightShare;
    placedValid_ = false;
    update();
}

void ScaleLabel::setMarks(std::vector<ScaleMark> marks) {
    marks_ = std::move(marks);
    placedValid_ = false;
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

void ScaleLabel::placeMarks() {
    placed_.clear();
    for (int i = 0; i < static_cast<int>(marks_.size()); ++i) {
        QStaticText text(marks_[static_cast<std::size_t>(i)].text);
        text.setTextFormat(Qt::PlainText);
        text.prepare(QTransform(), font());
        placed_.push_back({text, QPointF(markLeft(i), 0)});  // the text's top-left
    }
    placedValid_ = true;
}

void ScaleLabel::paintEvent(QPaintEvent*) {
    if (!placedValid_) {
        placeMarks();
    }
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    for (const PlacedMark& mark : placed_) {
        painter.drawStaticText(mark.at, mark.text);
    }
}

void ScaleLabel::resizeEvent(QResizeEvent* event) {
    placedValid_ = false;
    QLabel::resizeEvent(event);
}

void ScaleLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        placedValid_ = false;
    }
    QLabel::changeEvent(event);
}

}  // namespace veltro
