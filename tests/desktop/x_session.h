#pragma once
// A private X display for one test: Xvfb on a free display number (it picks
// one itself), optionally with openbox, and the X tools that drive and
// measure it. Everything started here runs in its own process group and is
// killed with it when the session ends, also after a failed assertion.
#include <unistd.h>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QStringList>
#include <QTemporaryDir>
#include <csignal>
#include <string>

#include "integration/simulated_meter.h"

namespace veltro::testing {

inline void ownProcessGroup(QProcess& process) {
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
}

inline void killGroup(QProcess& process) {
    if (process.state() != QProcess::NotRunning) {
        ::kill(-static_cast<pid_t>(process.processId()), SIGKILL);
        process.waitForFinished(5000);
    }
}

class XSession {
  public:
    // A shared, loaded machine may lose a start now and then: one retry.
    bool start(bool windowManager) {
        if (startOnce(windowManager)) {
            return true;
        }
        killGroup(wm_);
        killGroup(xvfb_);
        return startOnce(windowManager);
    }
    ~XSession() {
        killGroup(wm_);
        killGroup(xvfb_);
    }

  private:
    bool startOnce(bool windowManager) {
        ownProcessGroup(xvfb_);
        xvfb_.setProcessChannelMode(QProcess::SeparateChannels);
        // -noreset: a server that resets as its last client leaves refuses a
        // client connecting in that moment, as panels on bare X come and go.
        xvfb_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                             "-noreset"});
        if (!xvfb_.waitForStarted(5000)) {
            return false;
        }
        QByteArray number;
        while (!number.contains('\n') && xvfb_.waitForReadyRead(10000)) {
            number += xvfb_.readAllStandardOutput();
        }
        display_ = ":" + number.trimmed();
        if (number.trimmed().isEmpty()) {
            return false;
        }
        if (windowManager) {
            ownProcessGroup(wm_);
            wm_.setProcessEnvironment(environment());
            wm_.start("openbox", {});
            // openbox owns the screen once it announces its supported hints.
            return waitFor([&] {
                return run("xprop", {"-root", "_NET_SUPPORTED"}).contains("_NET_FRAME_EXTENTS");
            });
        }
        return true;
    }

  public:
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display_);
        env.insert("QT_QPA_PLATFORM", "xcb");
        return env;
    }

    // Runs an X tool to its end and hands back what it printed.
    QString run(const QString& program, const QStringList& args) const {
        QProcess tool;
        tool.setProcessEnvironment(environment());
        tool.start(program, args);
        tool.waitForFinished(20000);
        return QString::fromLocal8Bit(tool.readAllStandardOutput());
    }

    // The panel's client window, once mapped.
    QString findWindow(const QString& title) const {
        QString id;
        waitFor([&] {
            id = run("xdotool", {"search", "--onlyvisible", "--name", title}).section('\n', 0, 0);
            return !id.isEmpty();
        });
        return id;
    }

    // A client window's absolute rectangle as the X server reports it.
    QRect clientRect(const QString& window) const {
        const QString info = run("xwininfo", {"-id", window});
        auto field = [&](const char* name) {
            const int at = info.indexOf(QLatin1String(name));
            return at < 0 ? 0
                          : info.mid(at + int(qstrlen(name))).section('\n', 0, 0).trimmed().toInt();
        };
        return QRect(field("Absolute upper-left X:"), field("Absolute upper-left Y:"),
                     field("Width:"), field("Height:"));
    }

    // The screen's pixels as the X server holds them.
    QImage screen() const {
        QProcess tool;
        tool.setProcessEnvironment(environment());
        tool.start("import", {"-window", "root", "png:-"});
        tool.waitForFinished(20000);
        return QImage::fromData(tool.readAllStandardOutput(), "PNG");
    }

    // The outer frame of a client window as the X server and the window
    // manager report it: the client's absolute rectangle grown by
    // _NET_FRAME_EXTENTS (left, right, top, bottom).
    QRect outerFrame(const QString& window) const {
        QRect client = clientRect(window);
        const QString extents = run("xprop", {"-id", window, "_NET_FRAME_EXTENTS"});
        const QStringList parts = extents.section('=', 1).split(',');
        if (parts.size() == 4) {
            client.adjust(-parts[0].trimmed().toInt(), -parts[2].trimmed().toInt(),
                          parts[1].trimmed().toInt(), parts[3].trimmed().toInt());
        }
        return client;
    }

  private:
    QProcess xvfb_;
    QProcess wm_;
    QString display_;
};

}  // namespace veltro::testing
