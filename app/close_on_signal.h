#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

// Holds the closing signals back from the program's first moments (every
// thread started later inherits this) until CloseOnSignal is ready for them;
// call it first thing in main().
void holdClosingSignals();

// SIGINT, SIGTERM, SIGHUP and SIGQUIT (Ctrl-C, a service stop, a logout or a
// closed terminal, Ctrl-\) close the window just as its close box does, so
// the last save and "Active" = "N" still happen. The handler only writes to
// a pipe; the close runs on the GUI thread.
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
