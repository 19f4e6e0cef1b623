#include "window/colour_button.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace veltro {

ColourButton::ColourButton(QWidget* parent) : QPushButton(parent) {}

void ColourButton::setFaceColour(const QColor& colour) {
    if (colour == colour_) {
        return;
    }
    colour_ = colour;
    QPalette pal = QApplication::palette(this);
    if (colour_.isValid()) {
        pal.setColor(QPalette::Button, colour_);
    }
    setPalette(pal);
}

QColor ColourButton::faceColour() const {
    return palette().color(QPalette::Button);
}

void ColourButton::paintEvent(QPaintEvent* event) {
    if (!colour_.isValid()) {
        QPushButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    painter.fillRect(rect(), colour_);
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    QStyleOptionButton option;
    initStyleOption(&option);
    // Light caption on a dark face, dark on a light one.
    option.palette.setColor(QPalette::ButtonText,
                            colour_.lightness() < 128 ? Qt::white : Qt::black);
    painter.drawControl(QStyle::CE_PushButtonLabel, option);
    if ((option.state & QStyle::State_HasFocus) &&
        (option.state & QStyle::State_KeyboardFocusChange)) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(4, 4, -4, -4);  // clear of the face's edge
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

}  // namespace veltro
