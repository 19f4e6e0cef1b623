#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

// SIGINT and SIGTERM (Ctrl-C, a logout, a service stop) close the window just
// as its close box does, so the last save and "Active" = "N" still happen.
// The handler only writes to a pipe; the close runs on the GUI thread.
class CloseOnSignal : public QObject {
    Q_OBJECT
public:
    explicit CloseOnSignal(QWidget& window);
    ~CloseOnSignal() override;

private:
    void onSignal();

    QWidget& window_;
    QSocketNotifier* notifier_ = nullptr;
};
