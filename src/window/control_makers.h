#pragma once
// How a row of the control table becomes a typed control of Form1.

#include <cstddef>
#include <type_traits>

#include "window/control_table.h"
#include "window/form1.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "window/bar_widget.h"
#include "window/colour_button.h"
#include "window/scale_label.h"
#include "window/value_check_box.h"

namespace veltro {

// A control of type T for the row, its look as created (form1_controls.cpp).
template <typename T>
T* makeControl(QWidget* parent, const ControlEntry& entry);
template <>
QLabel* makeControl<QLabel>(QWidget*, const ControlEntry&);
template <>
ScaleLabel* makeControl<ScaleLabel>(QWidget*, const ControlEntry&);
template <>
QLineEdit* makeControl<QLineEdit>(QWidget*, const ControlEntry&);
template <>
QPushButton* makeControl<QPushButton>(QWidget*, const ControlEntry&);
template <>
ColourButton* makeControl<ColourButton>(QWidget*, const ControlEntry&);
template <>
ValueCheckBox* makeControl<ValueCheckBox>(QWidget*, const ControlEntry&);
template <>
QComboBox* makeControl<QComboBox>(QWidget*, const ControlEntry&);
template <>
QScrollBar* makeControl<QScrollBar>(QWidget*, const ControlEntry&);
template <>
BarWidget* makeControl<BarWidget>(QWidget*, const ControlEntry&);

// The row's maker: a control of the member's type, handed to the member, at
// the row's index for a control array.
template <auto Member>
QWidget* into(Form1& form, QWidget* parent, const ControlEntry& entry) {
    auto& slot = form.*Member;
    using Slot = std::remove_reference_t<decltype(slot)>;
    if constexpr (std::is_pointer_v<Slot>) {
        slot = makeControl<std::remove_pointer_t<Slot>>(parent, entry);
        return slot;
    } else if constexpr (requires { typename Slot::mapped_type; }) {
        auto* made = makeControl<std::remove_pointer_t<typename Slot::mapped_type>>(parent, entry);
        slot[entry.index] = made;
        return made;
    } else {
        auto* made = makeControl<std::remove_pointer_t<typename Slot::value_type>>(parent, entry);
        slot.at(static_cast<std::size_t>(entry.index)) = made;
        return made;
    }
}

}  // namespace veltro
