#include "window/value_check_box.h"

namespace veltro {

ValueCheckBox::ValueCheckBox(QWidget* parent) : QCheckBox(parent) {
    setTristate(true);
}

int ValueCheckBox::value() const {
    switch (checkState()) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        default:
            return 0;
    }
}

void ValueCheckBox::setValue(int value) {
    // The poll cycle sets the same value on every frame; setCheckState would
    // repaint the box (and what overlaps it) each time.
    if (value == this->value()) {
        return;
    }
    switch (value) {
        case 0:
            setCheckState(Qt::Unchecked);
            break;
        case 1:
            setCheckState(Qt::Checked);
            break;
        case 2:
            setCheckState(Qt::PartiallyChecked);
            break;
        default:
            break;
    }
}

void ValueCheckBox::nextCheckState() {
    setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked);
}

}  // namespace veltro
