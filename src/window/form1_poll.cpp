// The poll timer and the command buttons.
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <string>

#include "window/colour_button.h"
#include "window/form1.h"

namespace veltro {

void Form1::connectPollHandlers() {
    // Each tick re-arms Timer1 before it polls, so the next poll is a full
    // interval away even when this tick came late. Left alone, the timer keeps
    // its original slots and fires the next one early to catch up: that poll
    // would read the meter's reply to this one before it has finished.
    connect(Timer1, &QTimer::timeout, Timer1, qOverload<>(&QTimer::start));
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(CmdAlarm, &QPushButton::clicked, this, &Form1::CmdAlarm_Click);
    connect(CmdPower, &QPushButton::clicked, this, &Form1::CmdPower_Click);
    connect(CmdCallsignSet, &QPushButton::clicked, this, &Form1::CmdCallsignSet_Click);
    connect(TxtCallsignSet, &QLineEdit::textChanged, this, &Form1::TxtCallsignSet_Change);
}

void Form1::Timer1_Timer() {
    showTick(panel_.tick());
}

void Form1::CmdAlarm_Click() {
    panel_.requestAlarm();
}
void Form1::CmdPower_Click() {
    panel_.requestPowerMode();
}
void Form1::CmdCallsignSet_Click() {
    panel_.requestCallsign();
}

void Form1::TxtCallsignSet_Change() {
    // The box holds what the operator typed; the wire takes single bytes.
    // One byte per typed character, "?" for one beyond Latin-1 (a character
    // outside the Basic Multilingual Plane included, which is two UTF-16 units).
    std::string bytes;
    for (const char32_t c : TxtCallsignSet->text().toUcs4()) {
        bytes += c <= 0xFF ? static_cast<char>(c) : '?';
    }
    panel_.callsignTextChanged(bytes);
}

}  // namespace veltro
