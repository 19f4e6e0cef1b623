// The built panel on a real X display, driven with real input events and
// measured by the X server and the window manager.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <memory>
#include <vector>

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
        QSettings ini(runtimeFolder() + "/RAREduzo/RAREduzo.ini", QSettings::IniFormat);
        return ini.value("Settings/Active").toString();
    }
    // Starts the panel and waits until its start-up has connected.
    void startPanel(const XSession& x, const QStringList& env = {}) {
        QProcessEnvironment e = x.environment();
        e.insert("XDG_CONFIG_HOME", dir.filePath("xdg"));
        e.insert("XDG_RUNTIME_DIR", runtimeFolder());
        for (const QString& pair : env) {
            e.insert(pair.section('=', 0, 0), pair.section('=', 1));
        }
        veltro::testing::ownProcessGroup(panel);
        panel.setProcessEnvironment(e);
        panel.start(dir.filePath("veltro-panel"), {});
        ASSERT_TRUE(panel.waitForStarted(5000));
        ASSERT_TRUE(waitFor([&] { return active() == "Y"; }, 1200)) << "the panel connected";
    }
    int commandCount(const std::string& command) {
        const std::string& log = sim.log();
        const std::string line = "received \"" + command + "\"";
        int count = 0;
        for (auto at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) {
            ++count;
        }
        return count;
    }
    void closePanel() {
        panel.terminate();  // closes the window as its close box does
        ASSERT_TRUE(panel.waitForFinished(20000));
        ASSERT_TRUE(waitFor([&] { return active() == "N"; }));
    }

    // In memory, as a desktop session's runtime folder is.
    QString runtimeFolder() const { return runtime.isValid() ? runtime.path() : dir.path(); }

    QTemporaryDir dir;
    QTemporaryDir runtime{QStringLiteral("/dev/shm/veltro-run-XXXXXX")};
    veltro::testing::SimulatedMeter sim;
    QProcess panel;
};

struct Desktop {
    const char* name;
    bool windowManager;
    QStringList env;
    double twipsPerPixel;          // physical pixels
    const char* xftDpi = nullptr;  // the X resource a desktop sets for its font size
};

void PrintTo(const Desktop& desktop, std::ostream* out) {
    *out << desktop.name;
}

class StartAndClose : public PanelOnDesktop, public ::testing::WithParamInterface<Desktop> {};

TEST_P(StartAndClose, TwentyCyclesLeaveConfigByteForByte) {
    const Desktop& desktop = GetParam();
    XSession x;
    ASSERT_TRUE(x.start(desktop.windowManager));
    if (desktop.xftDpi != nullptr) {
        x.run("xprop", {"-root", "-f", "RESOURCE_MANAGER", "8s", "-set", "RESOURCE_MANAGER",
                        QString("Xft.dpi:\t%1\n").arg(desktop.xftDpi)});
    }
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
                      Desktop{"openbox_Xft_120dpi", true, {}, 12.0, "120"},
                      Desktop{"bare_X_96dpi", false, {}, 15.0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

constexpr int kMenuBarHeight = 22;  // pixels at 96 dpi

// Outer heights in pixels at 96 dpi of the three Style commands.
// The client area below the menu bar ends in the gap after the style's last band
// (twips).
struct StyleKeys {
    QStringList keys;
    int outerHeight;
    int lastBandEnd;
    int nextBandStart;
};

TEST_F(PanelOnDesktop, StylesTypedPortAndHandMoveUnderOpenbox) {
    XSession x;
    ASSERT_TRUE(x.start(true));
    ASSERT_NO_FATAL_FAILURE(startPanel(x));
    const QString window = x.findWindow("Veltro Virtual Control Panel");
    ASSERT_FALSE(window.isEmpty());
    x.run("xdotool", {"windowactivate", "--sync", window});

    // The Style menu from the keyboard: Small, Vector, Setup in that order.
    for (const StyleKeys& style :
         {StyleKeys{{"alt+s", "Return"}, 213, 2295, 2520},
          StyleKeys{{"alt+s", "Down", "Return"}, 247, 2805, 3120},
          StyleKeys{{"alt+s", "Down", "Down", "Return"}, 350, 4455, 5040}}) {
        SCOPED_TRACE(style.outerHeight);
        x.run("xdotool", QStringList{"key", "--delay", "150"} + style.keys);
        EXPECT_TRUE(waitFor([&] { return x.outerFrame(window).height() == style.outerHeight; }))
            << x.outerFrame(window).height();
        const int clientTwips = (x.clientRect(window).height() - kMenuBarHeight) * 15;
        EXPECT_GE(clientTwips, style.lastBandEnd);
        EXPECT_LT(clientTwips, style.nextBandStart);
        EXPECT_TRUE(waitFor([&] {
            return config().contains("\r\nHeight=" + QByteArray::number(style.outerHeight * 15));
        })) << config().toStdString();
    }
    const QByteArray afterStyles = config();

    // Typing into the port box, confirmed every way a keyboard does it, is
    // no port choice: no save, polling goes on.
    const QRect frame = x.outerFrame(window);
    x.run("xdotool", {"mousemove", QString::number(frame.x() + 28),
                      QString::number(frame.y() + 20 + 22 + 218), "click", "1"});
    x.run("xdotool", {"key", "--delay", "100", "ctrl+a"});
    x.run("xdotool", {"type", "--delay", "100", "Com03"});
    x.run("xdotool", {"key", "--delay", "300", "Return", "KP_Enter", "Tab"});
    const std::size_t polled = sim.log().size();
    ASSERT_TRUE(waitFor([&] { return sim.log().size() > polled + 40; })) << "polling went on";
    EXPECT_EQ(config().toStdString(), afterStyles.toStdString());
    EXPECT_EQ(
        x.run("xdotool", {"search", "--onlyvisible", "--pid", QString::number(panel.processId())})
            .count('\n'),
        1)
        << "no port message";

    // The Alarm face as the X server shows it: the Power button's face colour
    // with no alarm, exactly 192,0,0 in alarm. The steady meter's SWR of 1.50
    // alarms at the 1.5 setpoint, five presses of the button on.
    const QPoint client = x.clientRect(window).topLeft() + QPoint(0, kMenuBarHeight);
    const QPoint alarm = client + QPoint(120, 136), power = client + QPoint(224, 136);
    auto face = [&](QPoint button, int width) {
        const QImage shown = x.screen();
        return std::pair{shown.pixel(button + QPoint(3, 8)) & 0xFFFFFF,
                         shown.pixel(button + QPoint(width - 4, 3)) & 0xFFFFFF};
    };
    EXPECT_EQ(face(alarm, 41), face(power, 73));
    EXPECT_NE(face(alarm, 41).first, 0xC00000u);
    for (int press = 1; press <= 5; ++press) {
        x.run("xdotool", {"mousemove", QString::number(alarm.x() + 20),
                          QString::number(alarm.y() + 8), "click", "1"});
        ASSERT_TRUE(waitFor([&] { return commandCount("A") == press; })) << press;
    }
    EXPECT_TRUE(waitFor([&] {
        return face(alarm, 41) == std::pair{0xC00000u, 0xC00000u};
    })) << std::hex
        << face(alarm, 41).first << " " << face(alarm, 41).second;

    // Dragged by its title bar, the window is saved at its frame's position.
    x.run("xdotool", {"mousemove", QString::number(frame.x() + 150), QString::number(frame.y() + 8),
                      "mousedown", "1", "sleep", "0.3", "mousemove_relative", "20", "15", "sleep",
                      "0.3", "mousemove_relative", "20", "15", "sleep", "0.3", "mouseup", "1"});
    EXPECT_TRUE(waitFor([&] {
        return x.outerFrame(window).topLeft() == frame.topLeft() + QPoint(40, 30);
    })) << x.outerFrame(window).x()
        << "," << x.outerFrame(window).y();
    ASSERT_NO_FATAL_FAILURE(closePanel());
    const QByteArray saved = config();
    EXPECT_TRUE(saved.startsWith("Position-Left=" + QByteArray::number((frame.x() + 40) * 15) +
                                 "\r\nPosition-Top=" + QByteArray::number((frame.y() + 30) * 15) +
                                 "\r\n"))
        << saved.toStdString();
    EXPECT_TRUE(saved.contains("\r\nComPort=Com03\r\n")) << "typed text reaches the next save";
}

// The link lamp as the X server shows it, against a meter answering every
// poll: 200 samples of its centre pixel, one every 100 ms, at each Pollrate.
class LampAtPollrate : public PanelOnDesktop, public ::testing::WithParamInterface<int> {};

TEST_P(LampAtPollrate, GreenInEverySample) {
    writeConfig(
        QByteArray(kConfig).replace("Pollrate=100", "Pollrate=" + QByteArray::number(GetParam())));
    XSession x;
    ASSERT_TRUE(x.start(true));
    ASSERT_NO_FATAL_FAILURE(startPanel(x));
    const QString window = x.findWindow("Veltro Virtual Control Panel");
    auto startSample = [&] {  // the lamp's centre in the client window
        auto shot = std::make_unique<QProcess>();
        shot->setProcessEnvironment(x.environment());
        shot->start("import",
                    {"-silent", "-window", window, "-crop",
                     QString("1x1+344+%1").arg(kMenuBarHeight + 144), "-depth", "8", "txt:-"});
        return shot;
    };
    auto isGreen = [](QProcess& shot) {  // "0,0: (0,200,0)  #00C800  ..."
        shot.waitForFinished(20000);
        const QString text = QString::fromLatin1(shot.readAllStandardOutput());
        const QColor pixel(text.mid(text.indexOf(QLatin1String("  #")) + 2, 7));
        return pixel.green() > pixel.red() + 50;
    };
    ASSERT_TRUE(waitFor([&] { return isGreen(*startSample()); })) << "the first frames came in";

    // A sample takes longer than 100 ms: a few run at once.
    std::vector<std::unique_ptr<QProcess>> running;
    int red = 0;
    QElapsedTimer clock;
    clock.start();
    for (int next = 0; next < 200 || !running.empty(); QTest::qWait(5)) {
        if (next < 200 && clock.elapsed() >= next * 100) {
            running.push_back(startSample());
            ++next;
        }
        if (!running.empty() && running.front()->state() == QProcess::NotRunning) {
            red += isGreen(*running.front()) ? 0 : 1;
            running.erase(running.begin());
        }
    }
    EXPECT_EQ(red, 0) << "red in " << red << " of 200 samples over " << clock.elapsed() << " ms";
    ASSERT_NO_FATAL_FAILURE(closePanel());
}

INSTANTIATE_TEST_SUITE_P(Pollrates, LampAtPollrate, ::testing::Values(50, 100));

}  // namespace
