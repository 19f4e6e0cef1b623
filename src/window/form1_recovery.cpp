// A device lost from the open port, and the quiet retries that bring it back.
#include <QTimer>

#include "platform/serial_port.h"
#include "settings/port_recovery.h"
#include "window/form1.h"

namespace veltro {
namespace {

class Form1RecoveryTarget : public RecoveryTarget {
  public:
    Form1RecoveryTarget(Form1& form, QTimer& timer) : form_(form), timer_(timer) {}
    SerialPort& serialPort() override { return *form_.services().port; }
    void writeActive(const std::string& value) override { form_.writeActive(value == "Y"); }
    void setLinkLamp(bool green) override { form_.setLinkLamp(green); }
    void startRetrying() override { timer_.start(); }
    void stopRetrying() override { timer_.stop(); }

  private:
    Form1& form_;
    QTimer& timer_;
};

}  // namespace

void Form1::connectRecoveryHandlers() {
    retryTimer_ = new QTimer(this);
    retryTimer_->setObjectName("RetryTimer");
    // Precise: a coarse timer may fire early, and the retries are promised
    // at most once a second.
    retryTimer_->setTimerType(Qt::PreciseTimer);
    retryTimer_->setInterval(services_.intervals.portRetryMs);
    connect(retryTimer_, &QTimer::timeout, this, &Form1::retryLostPort);
    if (services_.port != nullptr) {
        services_.port->onDeviceLost([this] { portLost(); });
    }
}

void Form1::disconnectRecoveryHandlers() {
    if (services_.port != nullptr) {
        services_.port->onDeviceLost({});
    }
}

void Form1::portLost() {
    Form1RecoveryTarget target(*this, *retryTimer_);
    portRecovery_.deviceLost(target);
}

void Form1::retryLostPort() {
    Form1RecoveryTarget target(*this, *retryTimer_);
    portRecovery_.retry(target);
}

void Form1::stopPortRetries() {
    Form1RecoveryTarget target(*this, *retryTimer_);
    portRecovery_.stop(target);
}

}  // namespace veltro
