// The built panel on a real X display, driven with real input events and
// measured by the X server and the window manager.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>

#include "desktop/x_session.h"

namespace {

using veltro::testing::waitFor;
using veltro::testing::XSession;

const QByteArray kConfig =
    "Position-Left=1500\r\nPosition-Top=1500\r\nPwrMode=0\r\nHeight=5250\r\n"
    "mnuSetup=True\r\nmnuSmall=False\r\nmnuVector=False\r\nComPort=Com01\r\n"
    "Pollrate=100\r\nRange=3\r\nCheck1=0\r\nOnTop=0\r\nVersion=1\r\nHiPwr=0\r\n";

class PanelOnDesktop : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const QString copy = dir.filePath("veltro-panel");
        ASSERT_TRUE(QFile::copy(QStringLiteral(VELTRO_PANEL_PATH), copy));
        ASSERT_TRUE(QFile::setPermissions(copy, QFile::permissions(copy) | QFile::ExeOwner));
        writeConfig(kConfig);
        sim.start(dir.path(), 1);
    }
    void TearDown() override {
        veltro::testing::killGroup(panel);
        sim.stop();
    }
    void writeConfig(const QByteArray& text) {
        QFile file(dir.filePath("config.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray config() const {
        QFile file(dir.filePath("config.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString active() const {
        QSettings ini(dir.filePath("xdg/RAREduzo/RAREduzo.ini"), QSettings::IniFormat);
        return ini.value("Settings/Active").toString();
    }
    // Starts the panel and waits until its start-up has connected.
    void startPanel(const XSession& x, const QStringList& env = {}) {
        QProcessEnvironment e = x.environment();
        e.insert("XDG_CONFIG_HOME", dir.filePath("xdg"));
        for (const QString& pair : env) {
            e.insert(pair.section('=', 0, 0), pair.section('=', 1));
        }
        veltro::testing::ownProcessGroup(panel);
        panel.setProcessEnvironment(e);
        panel.start(dir.filePath("veltro-panel"), {});
        ASSERT_TRUE(panel.waitForStarted(5000));
        ASSERT_TRUE(waitFor([&] { return active() == "Y"; }, 1200)) << "the panel connected";
    }
    void closePanel() {
        panel.terminate();  // closes the window as its close box does
        ASSERT_TRUE(panel.waitForFinished(20000));
        ASSERT_TRUE(waitFor([&] { return active() == "N"; }));
    }

    QTemporaryDir dir;
    veltro::testing::SimulatedMeter sim;
    QProcess panel;
};

struct Desktop {
    const char* name;
    bool windowManager;
    QStringList env;
    double twipsPerPixel;  // physical pixels
};

void PrintTo(const Desktop& desktop, std::ostream* out) {
    *out << desktop.name;
}

class StartAndClose : public PanelOnDesktop, public ::testing::WithParamInterface<Desktop> {};

TEST_P(StartAndClose, TwentyCyclesLeaveConfigByteForByte) {
    const Desktop& desktop = GetParam();
    XSession x;
    ASSERT_TRUE(x.start(desktop.windowManager));
    for (int cycle = 0; cycle < 20; ++cycle) {
        SCOPED_TRACE(cycle);
        ASSERT_NO_FATAL_FAILURE(startPanel(x, desktop.env));
        if (cycle == 0) {
            const QRect frame = x.outerFrame(x.findWindow("Veltro Virtual Control Panel"));
            EXPECT_NEAR(frame.left() * desktop.twipsPerPixel, 1500, desktop.twipsPerPixel);
            EXPECT_NEAR(frame.top() * desktop.twipsPerPixel, 1500, desktop.twipsPerPixel);
            EXPECT_NEAR(frame.height() * desktop.twipsPerPixel, 5250, desktop.twipsPerPixel);
        }
        ASSERT_NO_FATAL_FAILURE(closePanel());
        ASSERT_EQ(config().toStdString(), kConfig.toStdString());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, StartAndClose,
    ::testing::Values(Desktop{"openbox_96dpi", true, {}, 15.0},
                      Desktop{"openbox_120dpi", true, {"QT_SCALE_FACTOR=1.25"}, 12.0},
                      Desktop{"bare_X_96dpi", false, {}, 15.0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
