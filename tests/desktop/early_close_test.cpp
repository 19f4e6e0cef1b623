// Closes at any moment of a panel's first two seconds, before, during or
// after its start-up: config.ini stays byte for byte and "Active" ends at
// "N". Several panels run at once, each in its own folder with its own
// pseudo-terminal as port 1, and each closes in its own slice of the two
// seconds, so one round covers them all.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QThread>
#include <array>
#include <csignal>
#include <random>

#include "desktop/x_session.h"
#include "platform/pty_pair.h"
#include "settings/temp_dir.h"

namespace {

const std::string kConfig =
    "Position-Left=1500\r\nPosition-Top=1500\r\nPwrMode=0\r\nHeight=5250\r\n"
    "mnuSetup=True\r\nmnuSmall=False\r\nmnuVector=False\r\nComPort=Com01\r\n"
    "Pollrate=100\r\nRange=3\r\nCheck1=0\r\nOnTop=0\r\nVersion=1\r\nHiPwr=0\r\n";

struct EarlyDesktop {
    const char* name;
    bool xDisplay;
    bool windowManager;
} constexpr kDesktops[] = {
    {"offscreen", false, false}, {"bare X", true, false}, {"openbox", true, true}};
constexpr int kPanels = 8;
constexpr int kWindowMs = 2000;
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGQUIT, SIGINT};

struct Panel {
    QTemporaryDir dir;
    PtyPair port;
    QProcess process;
    qint64 closeAtMs = 0;
    std::string file(const char* name) const { return QDir(dir.path()).filePath(name).toStdString(); }
};

// Held from the exec on: a signal that lands while the loader still maps the
// libraries ends any program before its first line runs.
void holdSignalsInChild() {
    sigset_t held;
    sigemptyset(&held);
    for (const int number : kSignals) sigaddset(&held, number);
    sigprocmask(SIG_BLOCK, &held, nullptr);
}

TEST(EarlyClose, AnyMomentOfTheFirstSecondsLeavesConfigAndEndsInactive) {
    std::mt19937 random(std::random_device{}());
    QTemporaryDir base;
    const QString program = base.filePath("veltro-panel");
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELTRO_PANEL_PATH), program));
    for (const EarlyDesktop& desktop : kDesktops) {
        SCOPED_TRACE(desktop.name);
        veltro::testing::XSession x;
        ASSERT_TRUE(!desktop.xDisplay || x.start(desktop.windowManager));
        QProcessEnvironment env = x.environment();
        env.insert("QT_QPA_PLATFORM", desktop.xDisplay ? "xcb" : "offscreen");
        std::array<Panel, kPanels> panels;
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < kPanels; ++i) {
            Panel& panel = panels[i];
            ASSERT_EQ(::link(qPrintable(program), panel.file("veltro-panel").c_str()), 0);
            veltro::testing::writeBytes(panel.file("config.ini"), kConfig);
            ASSERT_TRUE(QDir(panel.dir.path()).mkdir("ports"));
            ASSERT_EQ(::symlink(panel.port.slavePath().c_str(), panel.file("ports/com1").c_str()), 0);
            env.insert("XDG_CONFIG_HOME", panel.dir.filePath("xdg"));
            env.insert("XDG_RUNTIME_DIR", panel.dir.path());
            panel.process.setProcessEnvironment(env);
            panel.process.setChildProcessModifier(holdSignalsInChild);
            panel.process.start(panel.dir.filePath("veltro-panel"), {});
            // Until its exec the child has not held the signals yet: a loaded
            // machine can keep it from running for longer than a close window.
            ASSERT_TRUE(panel.process.waitForStarted(20000));
            panel.closeAtMs = clock.elapsed() + (kWindowMs * i + random() % kWindowMs) / kPanels;
        }
        for (int i = 0; i < kPanels; ++i) {
            QThread::msleep(std::max<qint64>(0, panels[i].closeAtMs - clock.elapsed()));
            ::kill(static_cast<pid_t>(panels[i].process.processId()), kSignals[i % 4]);
        }
        for (int i = 0; i < kPanels; ++i) {
            SCOPED_TRACE(i);
            ASSERT_TRUE(panels[i].process.waitForFinished(20000));
            EXPECT_EQ(panels[i].process.exitStatus(), QProcess::NormalExit)
                << panels[i].process.readAllStandardError().toStdString();
            EXPECT_EQ(veltro::testing::readBytes(panels[i].file("config.ini")), kConfig);
            QSettings ini(panels[i].dir.filePath("RAREduzo/RAREduzo.ini"), QSettings::IniFormat);
            EXPECT_EQ(ini.value("Settings/Active").toString(), "N");
        }
    }
}

}  // namespace
