// The handlers that end in a save, and the setup controls shown from the
// panel. Showing blocks the controls' signals: a value the panel set never
// runs a handler again.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include "window/check_mark_menu.h"
#include "window/colour_button.h"
#include "window/form1.h"
#include "window/value_check_box.h"

namespace veltro {
namespace {

QString latin1(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void showValue(ValueCheckBox* box, int value) {
    const QSignalBlocker quiet(box);
    box->setValue(value);
}

}  // namespace

void Form1::connectSettingsHandlers() {
    connect(CmdRange, &QPushButton::clicked, this, &Form1::CmdRange_Click);
    // stateChanged fires once per real change; the panel's own changes are
    // shown with the signals blocked.
    connect(Check1, &QCheckBox::stateChanged, this, &Form1::Check1_Click);
    connect(Check2, &QCheckBox::stateChanged, this, &Form1::Check2_Click);
    connect(chkHiPwr, &QCheckBox::stateChanged, this,
            [this] { panel_.hiPwrChanged(chkHiPwr->value()); });
    // The box's text as the operator leaves it; an edit or a choice of his
    // own replaces a configured name kept aside.
    connect(Combo1, &QComboBox::editTextChanged, this, [this](const QString& text) {
        panel_.portBoxShows(text.toLatin1().toStdString());
    });
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, [this] { panel_.portBoxEdited(); });
    connect(Combo1, &QComboBox::activated, this, [this] { panel_.portBoxEdited(); });
}

void Form1::CmdRange_Click() {
    panel_.rangeClicked();
}

void Form1::Check1_Click() {
    panel_.check1Changed(Check1->value());
    showControls();
}

void Form1::Check2_Click() {
    panel_.check2Changed(Check2->value());
    showControls();
}

std::filesystem::path Form1::settingsFile() const {
    if (services_.settingsDir.isEmpty()) {
        return {};
    }
#ifdef _WIN32
    return std::filesystem::path(services_.settingsDir.toStdWString()) / L"config.ini";
#else
    return std::filesystem::path(QFile::encodeName(services_.settingsDir).toStdString()) /
           "config.ini";
#endif
}

void Form1::SaveSettings() {
    panel_.save();
}

// Only what changed since the last showing is set: the bars may re-assert
// the source pair on every frame.
void Form1::showControls() {
    const PanelControls& now = panel_.controls();
    if (shownControls_ && *shownControls_ == now) {
        return;
    }
    const PanelControls* was = shownControls_ ? &*shownControls_ : nullptr;
    auto differs = [&](auto member) { return was == nullptr || !(was->*member == now.*member); };
    const std::pair<ValueCheckBox*, int PanelControls::*> boxes[] = {
        {Check1, &PanelControls::check1},   {Check2, &PanelControls::check2},
        {chkOnTop, &PanelControls::onTop},  {chkVersion, &PanelControls::version},
        {chkHiPwr, &PanelControls::hiPwr}};
    for (const auto& [box, member] : boxes) {
        if (differs(member)) {
            showValue(box, now.*member);
        }
    }
    if (differs(&PanelControls::pollSlider)) {
        const QSignalBlocker quiet(HScroll1);
        HScroll1->setValue(now.pollSlider);
    }
    if (differs(&PanelControls::pollRateText)) {
        TxtPollRate->setText(latin1(now.pollRateText));
    }
    if (differs(&PanelControls::versionText)) {
        Text3->setText(latin1(now.versionText));
    }
    if (differs(&PanelControls::callsignEnabled)) {
        CmdCallsignSet->setEnabled(now.callsignEnabled);
        TxtCallsignSet->setEnabled(now.callsignEnabled);
    }
    setMarked(mnuSetup, now.setupMark);
    setMarked(mnuSmall, now.smallMark);
    setMarked(mnuVector, now.vectorMark);
    if (Combo1->currentText() != latin1(now.portBoxText)) {
        showPortName(now.portBoxText);
    }
    if (differs(&PanelControls::slotLabels)) {
        for (std::size_t k = 0; k < Label22.size(); ++k) {
            Label22[k]->setText(latin1(now.slotLabels[k]));
        }
    }
    if (differs(&PanelControls::lampGreen)) {
        Picture5->setVisible(now.lampGreen);
    }
    shownControls_ = now;
}

void Form1::showPortName(const std::string& name) {
    // Setting the edit text runs no Combo1_Click (that follows a list choice).
    // The box must hold the whole name, or the next save would cut it short.
    const QSignalBlocker quiet(Combo1);
    QLineEdit* edit = Combo1->lineEdit();
    const int length = static_cast<int>(name.size());
    if (edit->maxLength() < length) {
        edit->setMaxLength(length);
    }
    Combo1->setEditText(latin1(name));
    // The box is narrow: show the start of the name, not its end.
    edit->setCursorPosition(0);
}

}  // namespace veltro
