#include "window/colour_button.h"

#include <QApplication>
#include <QPalette>

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

}  // namespace veltro
