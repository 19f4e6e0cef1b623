// The window's controls created from their table, and bound to Form1's
// members by name.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QScrollBar>

#include "window/assets.h"
#include "window/bar_widget.h"
#include "window/colour_button.h"
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
    for (const ControlEntry& entry : controlTable()) {
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
    for (const ControlEntry& entry : controlTable()) {
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
