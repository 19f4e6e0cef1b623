// The window's controls as a table: name, type, rectangle in twips, text,
// font and state at creation. Controls are created in table order, which is
// their stacking order from the bottom up: the plain labels first (they
// are painted on the window surface), then the controls that are windows of
// their own, with each fixed bar before the live bar that covers it and the
// red lamp before the green one.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QScrollBar>

#include "window/assets.h"
#include "window/bar_widget.h"
#include "window/colour_button.h"
#include "window/fonts.h"
#include "window/form1.h"
#include "window/scale_label.h"
#include "window/twips.h"
#include "window/value_check_box.h"

namespace veltro {
namespace {

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
};

struct ControlEntry {
    const char* name;
    int index;  // -1 for a control that is not in an array
    Kind kind;
    int left, top, width, height;
    const char* text;
    FontKind font;
    unsigned flags;
};

using F = FontKind;
constexpr int kNoIndex = -1;

// clang-format off
const ControlEntry kControls[] = {
    // Plain labels, painted on the window surface.
    {"Label3", kNoIndex, Kind::Label, 1680, 0, 1095, 255, "Property of", F::Arial975, kRight},
    {"Label2", kNoIndex, Kind::Label, 2880, 0, 975, 255, "Label2", F::Arial975, kNone},
    {"Label7", kNoIndex, Kind::Label, 120, 360, 375, 255, "Pwr", F::Sans975Bold, kCentre},
    {"LblPwr", kNoIndex, Kind::Label, 4440, 480, 855, 255, "2500.00", F::Sans975Bold, kRight},
    {"LblW", kNoIndex, Kind::Label, 5300, 480, 255, 255, "W", F::Arial975Bold, kNone},
    {"Label16", kNoIndex, Kind::Scale, 540, 600, 3855, 255,
     "  |'''''''''''''''|'''''''''''''''''|''''''''''''''''|''''''''''''''|''''''''''''''''''''|''''''''|''''''|'''''''|''''''|''''| ",
     F::Default, kNone},
    {"Label19", kNoIndex, Kind::Label, 120, 720, 375, 255, "Ref", F::Default, kCentre},
    {"Label35", kNoIndex, Kind::Label, 4800, 720, 615, 255, "Peak", F::Sans975, kCentre},
    {"Label6", 0, Kind::Scale, 480, 840, 3975, 255,
     "   .1            .2                 .5              1             2                 5            10              25",
     F::Serif825, kHidden},
    {"Label6", 3, Kind::Scale, 600, 840, 3855, 255,
     "1             2                 5              10          20               50         100           250",
     F::Serif825, kHidden},
    {"Label6", 4, Kind::Scale, 600, 840, 3855, 255,
     "10         20               50          100        200             500      1000        2500",
     F::Serif825, kHidden},
    {"Label6", 5, Kind::Scale, 480, 840, 3975, 255,
     "   40          80              200         400        800             2K         4K           10K",
     F::Serif825, kHidden},
    {"Label10", kNoIndex, Kind::Filled, 600, 1275, 735, 45, "", F::Default, kNone},
    {"Label11", kNoIndex, Kind::Filled, 1320, 1275, 495, 45, "", F::Default, kNone},
    {"Label12", kNoIndex, Kind::Filled, 1800, 1275, 2580, 45, "", F::Default, kNone},
    {"Label8", kNoIndex, Kind::Label, 0, 1320, 615, 255, "Swr", F::Sans975Bold, kCentre | kHidden},
    {"Label9", kNoIndex, Kind::Scale, 600, 1560, 3855, 135,
     " | ' ' | ' ' ' ' | ' ' ' ' ' ' | ' ' ' ' ' ' ' | ' ' ' ' ' | ' ' ' ' | ' ' ' ' ' ' ' | ' ' ' ' ' ' | ",
     F::Default, kHidden},
    {"Label6", 2, Kind::Scale, 600, 1680, 3855, 255,
     "1    1.2      1.5            2.0              3.0         4.0      5.0               7.0        10.0   ",
     F::Serif825, kHidden},
    {"LblRange", kNoIndex, Kind::Label, 840, 2040, 495, 255, "Auto", F::Sans975, kCentre | kBorder},
    {"LblAlarmMode", kNoIndex, Kind::Label, 2400, 2040, 615, 255, "2.0", F::Sans975, kCentre | kBorder},
    {"Label1", kNoIndex, Kind::Label, 4800, 3120, 735, 375, "Poll Rate (msec)", F::Default, kCentre | kWraps},
    {"Label17", kNoIndex, Kind::Label, 120, 3600, 855, 255, "Input String", F::Default, kNone},
    {"Label13", kNoIndex, Kind::Label, 1200, 3960, 1455, 255, "Same as Numerical", F::Default, kNone},
    {"Label20", kNoIndex, Kind::Label, 3240, 3960, 1095, 255, "Always on Top", F::Default, kNone},
    {"Label24", kNoIndex, Kind::Label, 4920, 3960, 1335, 495, "High Power Coupler", F::Default, kWraps},
    {"Label4", kNoIndex, Kind::Label, 120, 4080, 735, 255, "Bargraph:", F::Default, kNone},
    {"Label18", kNoIndex, Kind::Label, 1200, 4200, 975, 255, "Always Fast", F::Default, kNone},
    {"Label23", kNoIndex, Kind::Label, 3240, 4200, 1455, 255, "v1.2.0.0 or newer", F::Default, kNone},

    // Controls that are windows of their own.
    {"ProgressBar7", kNoIndex, Kind::Bar, 600, 360, 3795, 225, "", F::Default, kNone},
    {"ProgressBar1", 0, Kind::Bar, 600, 360, 3795, 225, "", F::Default, kHidden},
    {"ProgressBar1", 1, Kind::Bar, 600, 720, 3795, 150, "", F::Default, kNone},
    {"ProgressBar4", kNoIndex, Kind::Bar, 600, 1320, 3795, 225, "", F::Default, kNone},
    {"ProgressBar3", 0, Kind::Bar, 600, 1320, 3795, 225, "", F::Default, kHidden},
    {"TxtSWR", kNoIndex, Kind::TextBox, 4680, 1320, 735, 375, "SWR", F::Sans975Bold, kCentre},
    {"CmdRange", kNoIndex, Kind::ColourButton, 240, 2040, 615, 255, "Range", F::Default, kNone},
    {"CmdAlarm", kNoIndex, Kind::ColourButton, 1800, 2040, 615, 255, "Alarm", F::Default, kNone},
    {"CmdPower", kNoIndex, Kind::Button, 3360, 2040, 1095, 255, "Power Mode", F::Default, kNone},
    {"Picture2", 0, Kind::Picture, 5040, 2040, 255, 255, "", F::Default, kNone},
    {"Picture5", kNoIndex, Kind::Picture, 5040, 2040, 255, 255, "", F::Default, kHidden},
    {"txtVector", 4, Kind::TextBox, 600, 2520, 255, 285, "Z:", F::Default, kNone},
    {"txtVector", 0, Kind::TextBox, 840, 2520, 495, 285, "", F::Default, kNone},
    {"txtVector", 5, Kind::TextBox, 1560, 2520, 375, 285, "PH:", F::Default, kNone},
    {"txtVector", 1, Kind::TextBox, 1920, 2520, 495, 285, "", F::Default, kNone},
    {"txtVector", 6, Kind::TextBox, 2640, 2520, 255, 285, "R:", F::Default, kNone},
    {"txtVector", 2, Kind::TextBox, 2880, 2520, 495, 285, "", F::Default, kNone},
    {"txtVector", 7, Kind::TextBox, 3600, 2520, 255, 285, "X:", F::Default, kNone},
    {"txtVector", 3, Kind::TextBox, 3840, 2520, 495, 285, "", F::Default, kNone},
    {"Combo1", kNoIndex, Kind::Combo, 120, 3120, 855, 315, "Com1", F::Default, kNone},
    {"CmdCallsignSet", kNoIndex, Kind::Button, 1080, 3120, 495, 255, "Set", F::Default, kDisabled},
    {"TxtCallsignSet", kNoIndex, Kind::TextBox, 1560, 3120, 855, 285, "Call", F::Courier975, kDisabled},
    {"HScroll1", kNoIndex, Kind::Scroll, 2640, 3120, 1575, 255, "", F::Default, kNone},
    {"TxtPollRate", kNoIndex, Kind::TextBox, 4200, 3120, 615, 285, "", F::Default, kNone},
    {"Text1", kNoIndex, Kind::TextBox, 1080, 3600, 3495, 285, "Text1", F::Default, kNone},
    {"Check1", kNoIndex, Kind::Check, 960, 3960, 255, 255, "", F::Default, kNone},
    {"chkOnTop", kNoIndex, Kind::Check, 2880, 3960, 255, 255, "", F::Default, kNone},
    {"chkHiPwr", kNoIndex, Kind::Check, 4680, 4005, 255, 255, "", F::Default, kNone},
    {"Check2", kNoIndex, Kind::Check, 960, 4200, 255, 255, "", F::Default, kNone},
    {"chkVersion", kNoIndex, Kind::Check, 2880, 4200, 255, 255, "", F::Default, kNone},
    {"Text3", kNoIndex, Kind::TextBox, 3840, 5400, 615, 375, "Text3", F::Default, kNone},
};
// clang-format on

// The twelve diagnostic boxes of the hidden area: one rectangle a row.
constexpr int kLabel22Top = 5160;
constexpr int kLabel22Pitch = 240;

ControlEntry label22Entry(int index) {
    return {"Label22", index, Kind::Label, 480,        kLabel22Top + kLabel22Pitch * index,
            615,       255,   "Label22",   F::Default, kBorder};
}

const char* const kPortItems[] = {"Com01", "Com02", "Com03",  "Com04", "Com05", "Com06",
                                  "Com07", "Com08", "Com09 ", "Com10", "Com11", "Com12",
                                  "Com13", "Com14", "Com15",  "Com16"};

// Poll interval in milliseconds. The designed bounds and steps: lowest 50,
// highest 5000, arrow step 10, page step 100.
constexpr int kPollRateMin = 50;
constexpr int kPollRateMax = 5000;
constexpr int kPollRateSingleStep = 10;
constexpr int kPollRatePageStep = 100;
constexpr int kPollRateAtCreation = 50;

Qt::Alignment alignmentOf(unsigned flags) {
    const Qt::Alignment horizontal = (flags & kCentre)  ? Qt::AlignHCenter
                                     : (flags & kRight) ? Qt::AlignRight
                                                        : Qt::AlignLeft;
    // One-line texts centre vertically: the substitute faces run taller than
    // the rectangles, and centring spreads the overrun over both edges.
    return horizontal | ((flags & kWraps) ? Qt::AlignTop : Qt::AlignVCenter);
}

QLabel* makeLabel(QLabel* label, const ControlEntry& entry) {
    label->setTextFormat(Qt::PlainText);
    label->setText(QString::fromLatin1(entry.text));
    label->setAlignment(alignmentOf(entry.flags));
    label->setWordWrap((entry.flags & kWraps) != 0);
    if (entry.flags & kBorder) {
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setLineWidth(1);
    }
    return label;
}

QWidget* makeFilled(QWidget* parent, const char* name) {
    static const std::map<QString, QColor> kZoneColours{{"Label10", QColor(0, 192, 0)},
                                                        {"Label11", QColor(255, 255, 0)},
                                                        {"Label12", QColor(192, 0, 0)}};
    auto* label = new QLabel(parent);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, kZoneColours.at(QString::fromLatin1(name)));
    label->setPalette(pal);
    return label;
}

QWidget* makeTextBox(QWidget* parent, const ControlEntry& entry) {
    auto* box = new QLineEdit(QString::fromLatin1(entry.text), parent);
    box->setAlignment(alignmentOf(entry.flags) & Qt::AlignHorizontal_Mask);
    box->setCursorPosition(0);
    return box;
}

QWidget* makeCombo(QWidget* parent, const ControlEntry& entry) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    for (const char* item : kPortItems) {
        combo->addItem(QString::fromLatin1(item));
    }
    combo->setEditText(QString::fromLatin1(entry.text));
    return combo;
}

QWidget* makeScroll(QWidget* parent) {
    auto* scroll = new QScrollBar(Qt::Horizontal, parent);
    scroll->setRange(kPollRateMin, kPollRateMax);
    scroll->setSingleStep(kPollRateSingleStep);
    scroll->setPageStep(kPollRatePageStep);
    scroll->setValue(kPollRateAtCreation);
    // A drag changes the value once, on release, not at every step on the
    // way: each change rewrites config.ini and restarts the poll timer.
    scroll->setTracking(false);
    return scroll;
}

QWidget* makePicture(QWidget* parent, const ControlEntry& entry) {
    auto* picture = new QLabel(parent);
    const bool green = QByteArray(entry.name) == "Picture5";
    picture->setPixmap(QPixmap::fromImage(makeLamp(green ? kLampGreen : kLampRed)));
    picture->setAlignment(Qt::AlignCenter);
    return picture;
}

QWidget* makeWidget(QWidget* parent, const ControlEntry& entry) {
    switch (entry.kind) {
        case Kind::Label:
            return makeLabel(new QLabel(parent), entry);
        case Kind::Scale:
            return makeLabel(new ScaleLabel(parent), entry);
        case Kind::Filled:
            return makeFilled(parent, entry.name);
        case Kind::TextBox:
            return makeTextBox(parent, entry);
        case Kind::Button:
            return new QPushButton(QString::fromLatin1(entry.text), parent);
        case Kind::ColourButton: {
            auto* button = new ColourButton(parent);
            button->setText(QString::fromLatin1(entry.text));
            return button;
        }
        case Kind::Check:
            return new ValueCheckBox(parent);
        case Kind::Combo:
            return makeCombo(parent, entry);
        case Kind::Scroll:
            return makeScroll(parent);
        case Kind::Picture:
            return makePicture(parent, entry);
        case Kind::Bar:
            return new BarWidget(parent);
    }
    return nullptr;
}

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

template <typename T>
T* Form1::control(const QString& objectName) const {
    T* widget = client_->findChild<T*>(objectName, Qt::FindDirectChildrenOnly);
    Q_ASSERT(widget);
    return widget;
}

void Form1::createControls() {
    client_->setFont(panelFont(FontKind::Default));
    for (const ControlEntry& entry : kControls) {
        applyCommon(makeWidget(client_, entry), entry);
    }
    for (int i = 0; i < 12; ++i) {
        const ControlEntry entry = label22Entry(i);
        applyCommon(makeLabel(new QLabel(client_), entry), entry);
    }
}

void Form1::layoutControls() {
    auto place = [this](const ControlEntry& entry) {
        if (auto* widget =
                client_->findChild<QWidget*>(objectNameOf(entry), Qt::FindDirectChildrenOnly)) {
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
    };
    for (const ControlEntry& entry : kControls) {
        place(entry);
    }
    for (int i = 0; i < 12; ++i) {
        place(label22Entry(i));
    }
}

void Form1::bindControls() {
    auto label = [this](const char* name) { return control<QLabel>(QString::fromLatin1(name)); };
    auto scale = [this](const char* name) {
        return control<ScaleLabel>(QString::fromLatin1(name));
    };
    auto box = [this](const char* name) { return control<QLineEdit>(QString::fromLatin1(name)); };
    auto check = [this](const char* name) {
        return control<ValueCheckBox>(QString::fromLatin1(name));
    };
    auto bar = [this](const char* name) { return control<BarWidget>(QString::fromLatin1(name)); };

    Label3 = label("Label3");
    Label2 = label("Label2");
    Label7 = label("Label7");
    LblPwr = label("LblPwr");
    LblW = label("LblW");
    Label16 = scale("Label16");
    Label19 = label("Label19");
    Label35 = label("Label35");
    for (int index : {0, 2, 3, 4, 5}) {
        Label6[index] = control<ScaleLabel>(controlName("Label6", index));
    }
    Label10 = label("Label10");
    Label11 = label("Label11");
    Label12 = label("Label12");
    Label8 = label("Label8");
    Label9 = scale("Label9");
    ProgressBar1[0] = control<BarWidget>(controlName("ProgressBar1", 0));
    ProgressBar1[1] = control<BarWidget>(controlName("ProgressBar1", 1));
    ProgressBar3[0] = control<BarWidget>(controlName("ProgressBar3", 0));
    ProgressBar7 = bar("ProgressBar7");
    ProgressBar4 = bar("ProgressBar4");
    TxtSWR = box("TxtSWR");
    // A display, not an input: button face.
    {
        QPalette face = TxtSWR->palette();
        face.setColor(QPalette::Base, face.color(QPalette::Button));
        TxtSWR->setPalette(face);
    }

    CmdRange = control<ColourButton>("CmdRange");
    LblRange = label("LblRange");
    CmdAlarm = control<ColourButton>("CmdAlarm");
    LblAlarmMode = label("LblAlarmMode");
    CmdPower = control<QPushButton>("CmdPower");
    Picture5 = label("Picture5");
    Picture2[0] = control<QLabel>(controlName("Picture2", 0));

    for (int i = 0; i < 8; ++i) {
        txtVector[static_cast<std::size_t>(i)] = control<QLineEdit>(controlName("txtVector", i));
    }

    Combo1 = control<QComboBox>("Combo1");
    CmdCallsignSet = control<QPushButton>("CmdCallsignSet");
    TxtCallsignSet = box("TxtCallsignSet");
    HScroll1 = control<QScrollBar>("HScroll1");
    TxtPollRate = box("TxtPollRate");
    Label1 = label("Label1");
    Label17 = label("Label17");
    Text1 = box("Text1");
    Check1 = check("Check1");
    Label13 = label("Label13");
    chkOnTop = check("chkOnTop");
    Label20 = label("Label20");
    chkHiPwr = check("chkHiPwr");
    Label24 = label("Label24");
    Label4 = label("Label4");
    Check2 = check("Check2");
    Label18 = label("Label18");
    chkVersion = check("chkVersion");
    Label23 = label("Label23");

    Text3 = box("Text3");
    for (int i = 0; i < 12; ++i) {
        Label22[static_cast<std::size_t>(i)] = control<QLabel>(controlName("Label22", i));
    }
}

}  // namespace veltro
