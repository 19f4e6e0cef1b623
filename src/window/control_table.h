#pragma once
// The window's controls as a table: name, type, rectangle in twips, text,
// font, state at creation and the Form1 member each goes to. Controls are created in table order, which is
// their stacking order from the bottom up: the plain labels first (they
// are painted on the window surface), then the controls that are windows of
// their own, with each fixed bar before the live bar that covers it and the
// red lamp before the green one.

#include <span>

#include "window/fonts.h"

class QWidget;

namespace veltro {

class Form1;
struct ControlEntry;
// Makes the row's control as a child of `parent`, of the type of the Form1
// member it goes to, and hands it there (control_makers.h).
using MakeControl = QWidget* (*)(Form1& form, QWidget* parent, const ControlEntry& entry);

enum class Kind {
    Label,
    Scale,
    Filled,
    TextBox,
    Button,
    ColourButton,
    Check,
    Combo,
    Scroll,
    Picture,
    Bar
};

enum Flag : unsigned {
    kNone = 0,
    kHidden = 1u << 0,
    kDisabled = 1u << 1,
    kBorder = 1u << 2,
    kWraps = 1u << 3,
    kCentre = 1u << 4,
    kRight = 1u << 5,
    kFace = 1u << 6,  // a display box on the button face
};

struct ControlEntry {
    const char* name;
    int index;  // -1 for a control that is not in an array
    Kind kind;
    int left, top, width, height;
    const char* text;
    FontKind font;
    unsigned flags;
    MakeControl make;
    unsigned rgb = 0;  // a filled label's colour; a lamp's
    float min = 0;     // a bar's limits as created
    float max = 0;
};

constexpr int kNoIndex = -1;

std::span<const ControlEntry> controlTable();
// The twelve diagnostic boxes of the hidden area: one rectangle a row.
ControlEntry label22Entry(int index);

}  // namespace veltro
