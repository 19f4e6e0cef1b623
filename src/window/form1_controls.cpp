// The window's controls made from their table, each handed to its Form1
// member as it is made.
#include <algorithm>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QScrollBar>

#include "window/assets.h"
#include "window/bar_widget.h"
#include "window/colour_button.h"
#include "window/control_makers.h"
#include "window/control_table.h"
#include "window/fonts.h"
#include "window/form1.h"
#include "window/scale_label.h"
#include "window/twips.h"
#include "window/value_check_box.h"

namespace veltro {
namespace {

const char* const kPortItems[] = {"Com01", "Com02", "Com03",  "Com04", "Com05", "Com06",
                                  "Com07", "Com08", "Com09 ", "Com10", "Com11", "Com12",
                                  "Com13", "Com14", "Com15",  "Com16"};

Qt::Alignment alignmentOf(unsigned flags) {
    const Qt::Alignment horizontal = (flags & kCentre)  ? Qt::AlignHCenter
                                     : (flags & kRight) ? Qt::AlignRight
                                                        : Qt::AlignLeft;
    // One-line texts centre vertically: the substitute faces run taller than
    // the rectangles, and centring spreads the overrun over both edges.
    return horizontal | ((flags & kWraps) ? Qt::AlignTop : Qt::AlignVCenter);
}

QString textOf(const ControlEntry& entry) {
    return QString::fromLatin1(entry.text);
}

template <typename Label>
Label* setUpLabel(Label* label, const ControlEntry& entry) {
    label->setTextFormat(Qt::PlainText);
    label->setText(textOf(entry));
    label->setAlignment(alignmentOf(entry.flags));
    label->setWordWrap((entry.flags & kWraps) != 0);
    if (entry.flags & kBorder) {
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setLineWidth(1);
    }
    return label;
}

}  // namespace

// Plain labels, the filled zone labels and the lamps.
template <>
QLabel* makeControl<QLabel>(QWidget* parent, const ControlEntry& entry) {
    auto* label = new QLabel(parent);
    if (entry.kind == Kind::Filled) {
        label->setAutoFillBackground(true);
        QPalette pal = label->palette();
        pal.setColor(QPalette::Window, QColor::fromRgb(entry.rgb));
        label->setPalette(pal);
        return label;
    }
    if (entry.kind == Kind::Picture) {
        label->setPixmap(QPixmap::fromImage(makeLamp(QColor::fromRgb(entry.rgb))));
        label->setAlignment(Qt::AlignCenter);
        return label;
    }
    return setUpLabel(label, entry);
}

template <>
ScaleLabel* makeControl<ScaleLabel>(QWidget* parent, const ControlEntry& entry) {
    return setUpLabel(new ScaleLabel(parent), entry);
}

template <>
QLineEdit* makeControl<QLineEdit>(QWidget* parent, const ControlEntry& entry) {
    auto* box = new QLineEdit(textOf(entry), parent);
    box->setAlignment(alignmentOf(entry.flags) & Qt::AlignHorizontal_Mask);
    box->setCursorPosition(0);
    if (entry.flags & kFace) {
        QPalette face = box->palette();
        face.setColor(QPalette::Base, face.color(QPalette::Button));
        box->setPalette(face);
    }
    return box;
}

template <>
QPushButton* makeControl<QPushButton>(QWidget* parent, const ControlEntry& entry) {
    return new QPushButton(textOf(entry), parent);
}

template <>
ColourButton* makeControl<ColourButton>(QWidget* parent, const ControlEntry& entry) {
    auto* button = new ColourButton(parent);
    button->setText(textOf(entry));
    return button;
}

template <>
ValueCheckBox* makeControl<ValueCheckBox>(QWidget* parent, const ControlEntry&) {
    return new ValueCheckBox(parent);
}

template <>
QComboBox* makeControl<QComboBox>(QWidget* parent, const ControlEntry& entry) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    for (const char* item : kPortItems) {
        combo->addItem(QString::fromLatin1(item));
    }
    combo->setEditText(textOf(entry));
    return combo;
}

template <>
QScrollBar* makeControl<QScrollBar>(QWidget* parent, const ControlEntry&) {
    auto* scroll = new QScrollBar(Qt::Horizontal, parent);
    scroll->setRange(kPollSlider.minimum, kPollSlider.maximum);
    scroll->setSingleStep(kPollSlider.singleStep);
    scroll->setPageStep(kPollSlider.pageStep);
    scroll->setValue(kPollSlider.atCreation);
    // A drag changes the value once, on release, not at every step on the
    // way: each change rewrites config.ini and restarts the poll timer.
    scroll->setTracking(false);
    return scroll;
}

template <>
BarWidget* makeControl<BarWidget>(QWidget* parent, const ControlEntry& entry) {
    auto* bar = new BarWidget(parent);
    bar->setMin(entry.min);
    bar->setMax(entry.max);
    bar->setValue(entry.min);
    return bar;
}

namespace {

QString objectNameOf(const ControlEntry& entry) {
    return entry.index == kNoIndex ? QString::fromLatin1(entry.name)
                                   : Form1::controlName(entry.name, entry.index);
}

void applyCommon(QWidget* widget, const ControlEntry& entry) {
    widget->setObjectName(objectNameOf(entry));
    if (entry.font != FontKind::Default) {
        widget->setFont(panelFont(entry.font));
    }
    widget->setEnabled((entry.flags & kDisabled) == 0);
    widget->setVisible((entry.flags & kHidden) == 0);
}

}  // namespace

QString Form1::controlName(const char* name, int index) {
    return QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(index);
}

void Form1::createControls() {
    client_->setFont(panelFont(FontKind::Default));
    auto make = [this](const ControlEntry& entry) {
        QWidget* widget = entry.make(*this, client_, entry);
        applyCommon(widget, entry);
        created_.push_back({entry, widget});
    };
    for (const ControlEntry& entry : controlTable()) {
        make(entry);
    }
    for (std::size_t i = 0; i < Label22.size(); ++i) {
        make(label22Entry(static_cast<int>(i)));
    }
}

const ControlEntry& Form1::entryOf(const QWidget* control) const {
    const auto found = std::find_if(created_.begin(), created_.end(),
                                    [control](const auto& made) { return made.second == control; });
    Q_ASSERT(found != created_.end());
    return found->first;
}

void Form1::layoutControls() {
    for (const auto& [entry, widget] : created_) {
        widget->setGeometry(
            twipsRectToPixels(client_, entry.left, entry.top, entry.width, entry.height));
        if (entry.kind == Kind::Label) {
            fitLabelFont(static_cast<QLabel*>(widget), panelFont(entry.font),
                         (entry.flags & kWraps) ? 2 : 1);
        } else if (entry.kind == Kind::Combo) {
            fitComboFont(static_cast<QComboBox*>(widget), panelFont(entry.font),
                         QStringLiteral("Com01"));
        }
    }
}

}  // namespace veltro
