// The built panel on a real X display, driven with real input events and
// measured by the X server and the window manager.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QThread>
#include <optional>

#include "desktop/x_pixel.h"
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
    void startPanel(const XSession& x, const QStringList& env = {}, bool waitConnected = true) {
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
        ASSERT_TRUE(!waitConnected || waitFor([&] { return active() == "Y"; }, 1200))
            << "the panel connected";
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

// The bottom rows of the window's client area show no band, only the gap
// below the style's last one: one colour from edge to edge.
bool endsInAGap(const XSession& x, const QString& window) {
    const QRect client = x.clientRect(window);
    const QImage shown = x.screen();
    const QRgb gap = shown.pixel(client.left() + 2, client.bottom());
    for (int y = client.bottom() - 2; y <= client.bottom(); ++y) {
        for (int at = client.left() + 2; at < client.right() - 2; ++at) {
            if (shown.pixel(at, y) != gap) {
                return false;
            }
        }
    }
    return true;
}

class OnDesktop : public PanelOnDesktop, public ::testing::WithParamInterface<Desktop> {};

TEST_P(OnDesktop, PlacedOnceThenLeftToTheOperator) {
    const Desktop& desktop = GetParam();
    const double tpp = desktop.twipsPerPixel;
    XSession x;
    ASSERT_TRUE(x.start(desktop.windowManager));
    if (desktop.xftDpi != nullptr) {
        x.run("xprop", {"-root", "-f", "RESOURCE_MANAGER", "8s", "-set", "RESOURCE_MANAGER",
                        QString("Xft.dpi:\t%1\n").arg(desktop.xftDpi)});
    }
    // Each start and close leaves the file as it was; one round shows a creep.
    for (int cycle = 0; cycle < 2; ++cycle) {
        SCOPED_TRACE(cycle);
        ASSERT_NO_FATAL_FAILURE(startPanel(x, desktop.env));
        if (cycle == 0) {
            const QRect frame = x.outerFrame(x.findWindow("Veltro Virtual Control Panel"));
            EXPECT_NEAR(frame.left() * tpp, 1500, tpp);
            EXPECT_NEAR(frame.top() * tpp, 1500, tpp);
        }
        ASSERT_NO_FATAL_FAILURE(closePanel());
        ASSERT_EQ(config().toStdString(), kConfig.toStdString());
    }

    // A drag begun as soon as the start-up has placed the window stays.
    ASSERT_NO_FATAL_FAILURE(startPanel(x, desktop.env));
    const QString window = x.findWindow("Veltro Virtual Control Panel");
    const QRect placed = x.outerFrame(window);
    const QPoint grip = placed.topLeft() + QPoint(150, desktop.windowManager ? 8 : 40);
    if (desktop.windowManager) {
        x.run("xdotool", {"mousemove", QString::number(grip.x()), QString::number(grip.y()),
                          "mousedown", "1", "sleep", "0.2", "mousemove_relative", "20", "15",
                          "sleep", "0.2", "mousemove_relative", "20", "15", "sleep", "0.2",
                          "mouseup", "1"});
        // Where it is left it stays: the saves below hold it.
        ASSERT_TRUE(waitFor([&] {
            return x.outerFrame(window).topLeft() == placed.topLeft() + QPoint(40, 30);
        }));

        // Small and Vector end in the gap below their last band at any scale.
        x.run("xdotool", {"windowactivate", "--sync", window});
        for (const QStringList& keys : {QStringList{"alt+s", "Return"},
                                        QStringList{"alt+s", "Down", "Return"}}) {
            SCOPED_TRACE(keys.join(' ').toStdString());
            const int before = x.clientRect(window).height();
            x.run("xdotool", QStringList{"key", "--delay", "150"} + keys);
            ASSERT_TRUE(waitFor([&] { return x.clientRect(window).height() != before; }));
            EXPECT_TRUE(endsInAGap(x, window));
        }
        x.run("xdotool", {"key", "--delay", "150", "alt+s", "Down", "Down", "Return"});
        ASSERT_TRUE(waitFor([&] { return config().contains("\r\nHeight=5250\r\n"); }));

        // Maximized by the title bar, then closed: the normal frame is kept.
        const QByteArray normal = config();
        x.run("xdotool", {"mousemove", QString::number(grip.x() + 40),
                          QString::number(grip.y() + 30), "click", "--repeat", "2", "--delay",
                          "80", "1"});
        EXPECT_TRUE(waitFor([&] { return x.outerFrame(window).width() == 1280; }));
        ASSERT_NO_FATAL_FAILURE(closePanel());
        EXPECT_EQ(config().toStdString(), normal.toStdString());
        // Where the drag left it, to the nearest pixel of the program's own.
        const QList<QByteArray> lines = normal.split('\n');
        ASSERT_GE(lines.size(), 2);
        EXPECT_NEAR(lines[0].mid(14).trimmed().toDouble(), (placed.left() + 40) * tpp, 15);
        EXPECT_NEAR(lines[1].mid(13).trimmed().toDouble(), (placed.top() + 30) * tpp, 15);
    } else {
        ASSERT_NO_FATAL_FAILURE(closePanel());
    }
}

// Without a window manager the window activates itself, and the start-up
// follows at once, not after the fallback a second and a half later.
TEST_F(PanelOnDesktop, BareXStartsUpOnItsOwnActivation) {
    XSession x;
    ASSERT_TRUE(x.start(false));
    ASSERT_NO_FATAL_FAILURE(startPanel(x, {}, false));
    ASSERT_FALSE(x.findWindow("Veltro Virtual Control Panel").isEmpty());
    QElapsedTimer mapped;
    mapped.start();
    ASSERT_TRUE(waitFor([&] { return active() == "Y"; }));
    EXPECT_LT(mapped.elapsed(), 1000);
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, OnDesktop,
    ::testing::Values(Desktop{"openbox_96dpi", true, {}, 15.0},
                      Desktop{"openbox_scale_2", true, {"QT_SCALE_FACTOR=2"}, 7.5},
                      Desktop{"openbox_Xft_144dpi", true, {}, 10.0, "144"},
                      Desktop{"bare_X_96dpi", false, {}, 15.0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

constexpr int kMenuBarHeight = 22;  // pixels at 96 dpi

// The Style menu from the keyboard, and the height each command stores.
struct StyleKeys {
    QStringList keys;
    const char* height;
};

TEST_F(PanelOnDesktop, StylesTypedPortAndHandMoveUnderOpenbox) {
    XSession x;
    ASSERT_TRUE(x.start(true));
    ASSERT_NO_FATAL_FAILURE(startPanel(x));
    const QString window = x.findWindow("Veltro Virtual Control Panel");
    ASSERT_FALSE(window.isEmpty());
    x.run("xdotool", {"windowactivate", "--sync", window});

    // From the keyboard alone: Space on the first focus (Range), then Tab on
    // to the slider, whose arrow key moves it.
    x.run("xdotool", {"key", "--delay", "150", "space", "Tab", "Tab", "Tab", "Tab", "Right"});
    EXPECT_TRUE(waitFor([&] { return config().contains("\r\nPollrate=110\r\nRange=0\r\n"); }))
        << config().toStdString();

    for (const StyleKeys& style : {StyleKeys{{"alt+s", "Return"}, "3200"},
                                   StyleKeys{{"alt+s", "Down", "Return"}, "3700"},
                                   StyleKeys{{"alt+s", "Down", "Down", "Return"}, "5250"}}) {
        SCOPED_TRACE(style.height);
        x.run("xdotool", QStringList{"key", "--delay", "150"} + style.keys);
        EXPECT_TRUE(waitFor([&] {
            return config().contains(QByteArray("\r\nHeight=") + style.height + "\r\n");
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
// poll: its centre pixel read every 10 ms for 5 s at each Pollrate, so every
// poll cycle in that time is seen.
class LampAtPollrate : public PanelOnDesktop, public ::testing::WithParamInterface<int> {};

constexpr int kLampSampleMs = 5000;

TEST_P(LampAtPollrate, GreenInEverySample) {
    writeConfig(
        QByteArray(kConfig).replace("Pollrate=100", "Pollrate=" + QByteArray::number(GetParam())));
    XSession x;
    ASSERT_TRUE(x.start(true));
    ASSERT_NO_FATAL_FAILURE(startPanel(x));
    const veltro::testing::XPixel lamp(x.environment().value("DISPLAY"),
                                       x.findWindow("Veltro Virtual Control Panel"));
    auto green = [&] {  // the lamp's centre in the client window
        const std::optional<QColor> pixel = lamp.at(344, kMenuBarHeight + 144);
        return pixel && pixel->green() > pixel->red() + 50;
    };
    ASSERT_TRUE(waitFor(green)) << "the first frames came in";

    int samples = 0, red = 0;
    QElapsedTimer clock;
    clock.start();
    for (; clock.elapsed() < kLampSampleMs; QThread::msleep(10)) {
        ++samples;
        red += green() ? 0 : 1;
    }
    EXPECT_EQ(red, 0) << "red in " << red << " of " << samples << " samples over "
                      << clock.elapsed() << " ms";
    EXPECT_GT(samples, 100) << "too few samples to see every poll cycle";
    ASSERT_NO_FATAL_FAILURE(closePanel());
}

INSTANTIATE_TEST_SUITE_P(Pollrates, LampAtPollrate, ::testing::Values(50, 100));

}  // namespace
