// The poll timer, the command buttons and the link displays.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <string>

#include "readout/publication.h"
#include "window/colour_button.h"
#include "window/form1.h"
#include "window/meter_text.h"
#include "window/value_check_box.h"

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
    if (services_.port) {
        pollCycle.tick(*services_.port, *this);
    }
}

void Form1::CmdAlarm_Click() {
    pollCycle.requestAlarm();
}
void Form1::CmdPower_Click() {
    pollCycle.requestPowerMode();
}
void Form1::CmdCallsignSet_Click() {
    pollCycle.requestCallsign();
}

void Form1::TxtCallsignSet_Change() {
    // The box holds what the operator typed; the wire takes single bytes.
    // One byte per typed character, "?" for one beyond Latin-1 (a character
    // outside the Basic Multilingual Plane included, which is two UTF-16 units).
    std::string bytes;
    for (const char32_t c : TxtCallsignSet->text().toUcs4()) {
        bytes += c <= 0xFF ? static_cast<char>(c) : '?';
    }
    pollCycle.callsignTextChanged(bytes);
}

int Form1::versionValue() const {
    return chkVersion->value();
}

void Form1::setLinkLamp(bool green) {
    Picture5->setVisible(green);
}

void Form1::publishReading(const std::string& readingText) {
    if (publication_) {
        publication_->publishReading(readingText);
    }
}

void Form1::showCallsign(const std::string& callsign) {
    Label2->setText(meterTextForDisplay(callsign));
}

}  // namespace veltro
