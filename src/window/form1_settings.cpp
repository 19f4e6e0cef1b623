// config.ini: SaveSettings, the handlers that end in a save, and the hooks
// the start-up uses to hold saves back and keep the configured port name.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "files/whole_file.h"
#include "readout/bargraphs.h"
#include "window/check_mark_menu.h"
#include "window/colour_button.h"
#include "window/form1.h"
#include "window/twips.h"
#include "window/value_check_box.h"

namespace veltro {

void Form1::connectSettingsHandlers() {
    connect(CmdRange, &QPushButton::clicked, this, &Form1::CmdRange_Click);
    // stateChanged fires once per real change, by a click or by the program.
    connect(Check1, &QCheckBox::stateChanged, this, &Form1::Check1_Click);
    connect(Check2, &QCheckBox::stateChanged, this, &Form1::Check2_Click);
    // The operator's own choice replaces a configured name kept aside.
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, &Form1::forgetConfiguredPortName);
    connect(Combo1, &QComboBox::activated, this, &Form1::forgetConfiguredPortName);
}

void Form1::CmdRange_Click() {
    RangeMode = nextRangeMode(RangeMode);
    SaveSettings();
}

void Form1::Check1_Click() {
    Check2->setValue(Check1->value() == 1 ? 0 : 1);
    SaveSettings();
}

void Form1::Check2_Click() {
    Check1->setValue(Check2->value() == 1 ? 0 : 1);
    SaveSettings();
}

std::filesystem::path Form1::settingsFile() const {
#ifdef _WIN32
    return std::filesystem::path(services_.settingsDir.toStdWString()) / L"config.ini";
#else
    return std::filesystem::path(QFile::encodeName(services_.settingsDir).toStdString()) /
           "config.ini";
#endif
}

SettingsSnapshot Form1::settingsSnapshot() const {
    const SavedFrame frame = savedFrame();
    SettingsSnapshot snapshot;
    snapshot.left = frame.left;
    snapshot.top = frame.top;
    snapshot.height = frame.height;
    snapshot.pwrMode = SettingValues[2];
    snapshot.setupChecked = isMarked(mnuSetup);
    snapshot.smallChecked = isMarked(mnuSmall);
    snapshot.vectorChecked = isMarked(mnuVector);
    snapshot.comPort =
        configuredPortName_.nameToSave(Combo1->currentText().toLatin1().toStdString());
    snapshot.pollrate = HScroll1->value();
    snapshot.range = RangeMode;
    snapshot.check1 = Check1->value();
    snapshot.onTop = chkOnTop->value();
    snapshot.version = chkVersion->value();
    snapshot.hiPwr = chkHiPwr->value();
    return snapshot;
}

void Form1::SaveSettings() {
    // A file that could not be read still holds the operator's settings;
    // replacing it with what the window shows would lose them.
    if (!saveHold_.saveNow() || services_.settingsDir.isEmpty() || keepUnreadableSettingsFile) {
        return;
    }
    // A failed write leaves the old file whole; the panel carries on.
    const bool ok = replaceWholeFile(settingsFile(), formatSettings(settingsSnapshot()));
    emit settingsSaved(ok);
}

void Form1::holdSaves() {
    saveHold_.begin();
}

void Form1::releaseHeldSaves() {
    if (saveHold_.end()) {
        SaveSettings();
    }
}

void Form1::setConfiguredPortName(const std::string& name) {
    configuredPortName_.remember(name);
}

void Form1::forgetConfiguredPortName() {
    configuredPortName_.forget();
}

}  // namespace veltro
