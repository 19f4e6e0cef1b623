// The chain a station runs: simulated meter, then veltro-mqtt, then the real
// panel (offscreen), with a real mosquitto started on a free loopback port.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "integration/panel_program.h"
#include "integration/simulated_meter.h"
#include "line_record.h"
#include "meter/status_frame.h"
#include "network/mqtt_broker.h"

namespace {

using veltro::testing::MqttBroker;
using veltro::testing::waitFor;
using Kind = MqttBroker::Kind;

const QString kDiscoveryTopic = "homeassistant/device/veltro_chain/config";

class MqttChain : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath("meter"));
        veltro::testing::preparePanelIn(dir);
    }
    void TearDown() override {
        for (QProcess* process : {&panel, &tap}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
        sim.stop();
        broker.stop();
    }
    void startChain(Kind kind, bool tapHasUser = true, const QStringList& simOptions = {"--steady"},
                    bool brokerFirst = true, bool withPanel = true, const QStringList& tapOptions = {}) {
        broker.start(dir.path(), kind, brokerFirst);
        sim.start(dir.filePath("meter"), 1, simOptions);
        startTap(broker.clientOptions(tapHasUser) + tapOptions);
        ASSERT_TRUE(waitFor([&] { return QFile::exists(dir.filePath("ports/com1")); })) << tapLog();
        if (withPanel) {
            veltro::testing::startPanelIn(panel, dir);
        }
    }
    int pollsHeard() {
        const std::string& log = sim.log();
        int polls = 0;
        for (auto at = log.find("received \"P\""); at != std::string::npos; at = log.find("received \"P\"", at + 1)) {
            ++polls;
        }
        return polls;
    }
    // Plays a panel on the tap's side, setting its speed once the tap has
    // seen it open: every poll gets exactly one whole frame (nothing of the
    // tap's own polls), and the meter hears these polls and no others.
    void pollAsAPanel(int polls) {
        const int fd = ::open(dir.filePath("ports/com1").toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        ASSERT_TRUE(waitFor([&] { return tapLog().find("a panel opened") != std::string::npos; }));
        QTest::qWait(200);  // the meter's log of the tap's last polls read
        const int before = pollsHeard();
        termios line{};
        tcgetattr(fd, &line);
        cfmakeraw(&line);
        cfsetspeed(&line, B115200);
        tcsetattr(fd, TCSANOW, &line);
        for (int i = 0; i < polls; ++i) {
            ASSERT_EQ(::write(fd, "P", 1), 1);
            std::string reply;
            char buffer[128];
            pollfd wait{fd, POLLIN, 0};
            // A whole frame, then 50 ms in which nothing more may come.
            while (::poll(&wait, 1, reply.size() < veltro::kFrameLength ? 2000 : 50) > 0) {
                const ssize_t n = ::read(fd, buffer, sizeof buffer);
                if (n <= 0) {
                    break;
                }
                reply.append(buffer, static_cast<std::size_t>(n));
            }
            EXPECT_TRUE(veltro::isStatusFrame(reply)) << "poll " << i << ": " << reply;
        }
        ::close(fd);
        EXPECT_TRUE(waitFor([&] { return pollsHeard() - before >= polls; }));
        EXPECT_EQ(pollsHeard() - before, polls);
    }
    void startTap(const QStringList& options) {
        tap.start(QStringLiteral(VELTRO_TAP_PATH),
                  QStringList{"--device", dir.filePath("meter/ports/com1"), "--dir", dir.path(), "--port", "1",
                              "--broker-port", QString::number(broker.port), "--id", "chain", "--record",
                              dir.filePath("line.rec"), "--heartbeat", "5"} +
                      options);
    }
    void stopTap() {
        tap.terminate();
        ASSERT_TRUE(tap.waitForFinished(5000));
        tapLog();
    }
    // User and system time the tap has used so far.
    double tapCpuSeconds() const {
        QFile stat(QString("/proc/%1/stat").arg(tap.processId()));
        if (!stat.open(QIODevice::ReadOnly)) {
            return -1;
        }
        const QList<QByteArray> fields = stat.readAll().split(')').last().split(' ');
        return (fields[12].toDouble() + fields[13].toDouble()) / static_cast<double>(::sysconf(_SC_CLK_TCK));
    }
    std::string tapLog() {
        tapLog_ += tap.readAllStandardError().toStdString();
        return tapLog_;
    }
    // Polls the broker until the retained payload holds `fragment` (or, for
    // an empty fragment, that nothing is retained).
    bool retainedHolds(const QString& topic, const QString& fragment) {
        if (fragment.isEmpty()) {
            return broker.retained(topic).isEmpty();
        }
        return waitFor([&] { return broker.retained(topic).contains(fragment); }, 200);
    }

    QTemporaryDir dir;
    MqttBroker broker;
    veltro::testing::SimulatedMeter sim;
    QProcess tap;
    QProcess panel;

  private:
    std::string tapLog_;
};

enum class Step {
    None,
    KillTap,
    SilenceMeter,
    RestartBroker,
    PullMeter,
    HomeAssistantOnline,
    BrokerLate,
    Forget,
    RestartWithoutDiscovery,
    KillMeter,
    CountOwnPolls,
    PanelComesAndGoes,
    PanelChangesSpeed,
    TransmitIntoTrip
};

struct Retained {
    const char* topic;  // under veltro/chain/, or a whole topic with a '/'
    const char* fragment;
};

struct ChainCase {
    const char* name;
    Kind broker;
    bool tapHasUser;
    Step step;
    const char* tapLogs;  // a line the tap must have logged first (and once only), or ""
    const char* logsAfter;  // ... and after the step
    std::vector<Retained> expect;
    bool withPanel = true;
    QStringList tapOptions = {};
    const char* neverLogged = "";  // by the tap or the meter
    QStringList simOptions = {"--steady"};
};

const Retained kAllBack[] = {{"status", "online"},
                             {"link", "online"},
                             {"tx", "ON"},
                             {"alarm", "OFF"},
                             {"state", "\"forward_w\":100.00,\"peak_forward_w\":100.00,\"dbm\":50.0,\"swr\":1.50"},
                             {"homeassistant/device/veltro_chain/config", "\"cmps\""}};

const ChainCase kChainCases[] = {
    {"LateSubscriberGetsRetainedStateAndDiscovery", Kind::Plain, true, Step::None, "", "",
     {std::begin(kAllBack), std::end(kAllBack)}},
    {"KillNineLeavesOfflineRetained", Kind::Plain, true, Step::KillTap, "", "", {{"status", "offline"}}},
    {"SilentMeterTurnsLinkOfflineStatusStaysOnline", Kind::Plain, true, Step::SilenceMeter, "", "",
     {{"link", "offline"}, {"status", "online"}, {"tx", "OFF"}}},
    // Started before its broker: idle meanwhile, then connected by the back-off.
    {"BrokerDownAtStartIsRetriedWithoutSpinning", Kind::Plain, true, Step::BrokerLate,
     "cannot reach the broker", "connected to the broker", {std::begin(kAllBack), std::end(kAllBack)}},
    {"ForgetClearsEveryRetainedTopic", Kind::Plain, true, Step::Forget, "", "",
     {{"status", ""}, {"link", ""}, {"state", ""}, {"tx", ""}, {"alarm", ""}, {"trip", ""},
      {"homeassistant/device/veltro_chain/config", ""}}},
    {"NoDiscoveryClearsTheEarlierDiscovery", Kind::Plain, true, Step::RestartWithoutDiscovery, "", "",
     {{"status", "online"}, {"homeassistant/device/veltro_chain/config", ""}}},
    {"BrokerRestartBringsEverythingBack", Kind::Plain, true, Step::RestartBroker, "", "",
     {std::begin(kAllBack), std::end(kAllBack)}},
    {"DiscoveryAgainWhenHomeAssistantComesOnline", Kind::Plain, true, Step::HomeAssistantOnline, "",
     "", {{"homeassistant/device/veltro_chain/config", "\"cmps\""}}},
    // Away longer than the link's 3 s: the link must come back online.
    {"PulledMeterIsRetriedAndLinkedAgain", Kind::Plain, true, Step::PullMeter, "",
     "linked again", {{"link", "online"}, {"status", "online"}}},
    {"PasswordListenerRefusesAnonymous", Kind::Password, false, Step::None, "not authorised", "",
     {{"status", ""}}},
    {"PasswordListenerTakesTheUser", Kind::Password, true, Step::None, "", "",
     {{"status", "online"}, {"state", "\"forward_w\":100.00"}}},
    {"TlsWithAnOpensslCa", Kind::Tls, true, Step::None, "", "",
     {{"status", "online"}, {"state", "\"forward_w\":100.00"}}},
    // The device at 38400 baud, a panel sets 115200 and polls at once.
    {"FirstPollAfterASpeedChangeGoesAtTheNewSpeed", Kind::Plain, true, Step::PanelChangesSpeed, "relaying",
     "the panel's line speed, 115200 baud, applied to the device", {{"link", "online"}}, false,
     {"--alone-poll", "0", "--generation", "older"}, "understood nothing"},
    // The meter's freed pseudo-terminal is handed to the tap's own new side.
    {"DeadMetersDeviceIsNeverTakenForTheMeter", Kind::Plain, true, Step::KillMeter, "", "lost",
     {{"link", "offline"}}, true, {}, "back;"},
    // No panel: the tap polls at --alone-poll, and the readings go out.
    {"AloneTheTapPollsTheMeterItself", Kind::Plain, true, Step::CountOwnPolls, "", "",
     {{"link", "online"}, {"tx", "ON"}, {"state", "\"forward_w\":100.00"}}, false},
    // A slow meter: nearly always, a reply to the tap's own poll is on its way
    // as the panel opens its side.
    {"APanelThatComesAndGoesHearsOnlyItsOwnReplies", Kind::Plain, true, Step::PanelComesAndGoes, "",
     "the tap polls the meter itself again", {{"link", "online"}}, false, {"--alone-poll", "20"}, "",
     {"--steady", "--turnaround", "15"}},
    // Headless, the journal on a full disk: the record still goes out (checked
    // in the step, as it is not retained).
    {"TransmissionRecordAndATripThatResetClears", Kind::Plain, true, Step::TransmitIntoTrip, "",
     "trip/set takes only RESET", {{"trip", "OFF"}, {"veltro/chain/trip/detail", "{}"}}, false,
     {"--journal", "/dev/full"}},
};

void PrintTo(const ChainCase& c, std::ostream* out) {
    *out << c.name;
}

class MqttChainCase : public MqttChain, public ::testing::WithParamInterface<ChainCase> {};

TEST_P(MqttChainCase, PublishesAsExpected) {
    const ChainCase& c = GetParam();
    startChain(c.broker, c.tapHasUser, c.simOptions, c.step != Step::BrokerLate, c.withPanel, c.tapOptions);
    if (*c.tapLogs != '\0') {
        ASSERT_TRUE(waitFor([&] { return tapLog().find(c.tapLogs) != std::string::npos; })) << tapLog();
    } else {
        ASSERT_TRUE(retainedHolds("veltro/chain/link", "online")) << tapLog() << sim.log();
    }
    switch (c.step) {
        case Step::None:
            break;
        case Step::KillTap:
            tap.kill();
            ASSERT_TRUE(tap.waitForFinished(5000));
            break;
        case Step::SilenceMeter:
            sim.control("silent");
            break;
        case Step::RestartBroker:
            broker.restart();
            break;
        case Step::HomeAssistantOnline:
            broker.publish(kDiscoveryTopic, "", true);
            ASSERT_TRUE(retainedHolds(kDiscoveryTopic, ""));
            broker.publish("homeassistant/status", "online", false);
            break;
        case Step::BrokerLate: {
            const double before = tapCpuSeconds();
            QTest::qWait(2000);
            EXPECT_LT(tapCpuSeconds() - before, 0.2) << "CPU seconds over 2 s without a broker";
            broker.restart();
            break;
        }
        case Step::Forget:
            stopTap();
            EXPECT_EQ(QProcess::execute(VELTRO_TAP_PATH, QStringList{"--forget", "--id", "chain", "--broker-port",
                                                                     QString::number(broker.port)}),
                      0);
            break;
        case Step::RestartWithoutDiscovery:
            stopTap();
            ASSERT_TRUE(retainedHolds("veltro/chain/status", "offline"));
            startTap({"--no-discovery"});
            break;
        case Step::PullMeter:
            sim.control("vanish 4500");
            ASSERT_TRUE(retainedHolds("veltro/chain/link", "offline")) << tapLog();
            break;
        case Step::KillMeter:
            sim.process.kill();
            ASSERT_TRUE(sim.process.waitForFinished(5000));
            QTest::qWait(2500);  // retried twice
            break;
        case Step::CountOwnPolls: {
            const int before = pollsHeard();
            QTest::qWait(2000);
            EXPECT_GE(pollsHeard() - before, 10) << "every 100 ms, a loaded machine allowed for";
            EXPECT_LE(pollsHeard() - before, 21);
            break;
        }
        case Step::PanelComesAndGoes:
            ASSERT_TRUE(waitFor([&] { return pollsHeard() >= 3; })) << sim.log();
            pollAsAPanel(40);
            break;
        case Step::PanelChangesSpeed:
            pollAsAPanel(5);
            break;
        case Step::TransmitIntoTrip: {
            QProcess records;
            // The retained status arrives once the subscription stands.
            records.start("mosquitto_sub", broker.clientArguments() << "-v" << "-t" << "veltro/chain/status"
                                                                    << "-t" << "veltro/chain/transmission");
            QByteArray got;
            const auto heard = [&](const char* text) {
                return waitFor([&] { return (got += records.readAllStandardOutput()).contains(text); });
            };
            ASSERT_TRUE(heard("status online"));
            sim.control("reading watts=250 swr=3.5");
            ASSERT_TRUE(retainedHolds("veltro/chain/trip", "ON")) << tapLog();
            sim.control("reading watts=0");
            ASSERT_TRUE(heard("\"ended\":\"normal\"")) << got.toStdString() << tapLog();
            EXPECT_TRUE(got.contains("\"peak_forward_w\":250.00")) << got.toStdString();
            EXPECT_TRUE(got.contains("\"trip\":true")) << got.toStdString();
            EXPECT_TRUE(waitFor([&] {
                return tapLog().find("cannot write the journal /dev/full: No space left") != std::string::npos;
            })) << tapLog();
            records.kill();
            records.waitForFinished(5000);
            broker.publish("veltro/chain/trip/set", "reset", false);
            broker.publish("veltro/chain/trip/set", "RESET", false);
            break;
        }
    }
    if (*c.logsAfter != '\0') {
        ASSERT_TRUE(waitFor([&] { return tapLog().find(c.logsAfter) != std::string::npos; }, 800))
            << tapLog();
    }
    if (*c.neverLogged != '\0') {
        EXPECT_EQ((tapLog() + sim.log()).find(c.neverLogged), std::string::npos) << tapLog() << sim.log();
    }
    QStringList mustHoldNothing;
    for (const Retained& r : c.expect) {
        const QString topic = QString(r.topic).contains('/') ? r.topic : "veltro/chain/" + QString(r.topic);
        if (*r.fragment == '\0') {
            mustHoldNothing << topic;
            continue;
        }
        EXPECT_TRUE(retainedHolds(topic, r.fragment))
            << topic.toStdString() << " holds \"" << broker.retained(topic).toStdString()
            << "\", wanted \"" << r.fragment << "\"\n" << tapLog();
    }
    if (!mustHoldNothing.isEmpty()) {
        EXPECT_EQ(broker.retainedAmong(mustHoldNothing), QStringList{}) << tapLog();
    }
    if (*c.tapLogs != '\0') {
        const std::string log = tapLog();
        EXPECT_EQ(log.find(c.tapLogs), log.rfind(c.tapLogs)) << "logged once for every attempt\n" << log;
    }
}

INSTANTIATE_TEST_SUITE_P(Chain, MqttChainCase, ::testing::ValuesIn(kChainCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The replies of a recording, one per panel write, in order.
std::vector<veltro::record::Chunk> recordedChunks(const QString& path) {
    std::vector<veltro::record::Chunk> chunks;
    std::string error;
    EXPECT_TRUE(veltro::record::readRecording(path.toStdString(), chunks, error)) << error;
    return chunks;
}

std::vector<std::string> recordedReplies(const QString& path) {
    std::vector<std::string> replies;
    for (const auto& chunk : recordedChunks(path)) {
        if (chunk.direction == veltro::record::Direction::ToMeter) {
            replies.emplace_back();
        } else if (!replies.empty()) {
            replies.back() += chunk.bytes;
        }
    }
    return replies;
}

// At Pollrate 50 the tap passes the line on unchanged: what the meter got is
// what the panel wrote, and every reply the meter sent reaches the panel as
// the one whole frame the panel accepts.
TEST_F(MqttChain, BytesIdenticalBothWaysAndEveryFrameAccepted) {
    // Alone polling off: once the panel is gone the tap would poll, and its
    // last poll could reach the meter after the meter's log was read.
    startChain(Kind::Plain, true, {"--steady"}, true, true, {"--alone-poll", "0"});
    ASSERT_TRUE(waitFor([&] { return sim.answers() >= 30; }));  // 1.5 s at 50 ms
    panel.kill();
    ASSERT_TRUE(panel.waitForFinished(5000));
    QTest::qWait(300);
    tap.terminate();
    ASSERT_TRUE(tap.waitForFinished(5000));

    std::string toMeter;
    for (const auto& chunk : recordedChunks(dir.filePath("line.rec"))) {
        if (chunk.direction == veltro::record::Direction::ToMeter) {
            toMeter += chunk.bytes;
        }
    }
    const auto replies = recordedReplies(dir.filePath("line.rec"));
    std::string received;
    int answered = 0;
    for (std::size_t at = sim.log().find("received \""); at != std::string::npos;
         at = sim.log().find("received \"", at + 1)) {
        const std::size_t start = at + 10;
        received += sim.log().substr(start, sim.log().find('"', start) - start);
        answered += sim.log().compare(sim.log().find("): ", start) + 3, 8, "answered") == 0;
    }
    EXPECT_EQ(toMeter, received);
    ASSERT_GE(answered, 30);
    int frames = 0;
    for (const auto& reply : replies) {
        frames += !reply.empty();
        EXPECT_TRUE(reply.empty() || veltro::isStatusFrame(reply)) << reply;
    }
    EXPECT_GE(frames, answered - 1) << "at most the last answer still on its way";
}

// A moving station recorded through the tap, then replayed by the simulator
// into the same chain: the panel gets the same replies in the same order.
TEST_F(MqttChain, ReplayedRecordingGivesThePanelTheSameReplies) {
    startChain(Kind::Plain, true, {});
    ASSERT_TRUE(waitFor([&] { return recordedReplies(dir.filePath("line.rec")).size() > 30; }));
    tap.terminate();
    ASSERT_TRUE(tap.waitForFinished(5000));
    panel.kill();
    ASSERT_TRUE(panel.waitForFinished(5000));
    sim.stop();
    ASSERT_TRUE(QFile::rename(dir.filePath("line.rec"), dir.filePath("station.rec")));
    std::vector<std::string> station = recordedReplies(dir.filePath("station.rec"));
    std::erase(station, std::string());

    TearDown();
    startChain(Kind::Plain, true, {"--replay", dir.filePath("station.rec")});
    ASSERT_TRUE(waitFor([&] { return sim.log().find("used up") != std::string::npos; }, 1200)) << sim.log();
    std::vector<std::string> replayed = recordedReplies(dir.filePath("line.rec"));
    std::erase(replayed, std::string());
    EXPECT_EQ(replayed, station);
}

// The panel opens its side exclusively; killed, it never lifts that, and an
// operator's restarted panel would find its port busy.
TEST_F(MqttChain, KilledPanelLeavesItsSideFreeForTheNextStart) {
    startChain(Kind::Plain);
    ASSERT_TRUE(retainedHolds("veltro/chain/link", "online")) << tapLog();
    panel.kill();
    ASSERT_TRUE(panel.waitForFinished(5000));
    const auto exclusive = [&] {
        const int fd = ::open(dir.filePath("ports/com1").toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        int locked = 1;
        ::ioctl(fd, TIOCGEXCL, &locked);
        ::close(fd);
        return locked != 0;
    };
    EXPECT_TRUE(waitFor([&] { return !exclusive(); }));
}

// The keys Home Assistant requires of a device-based discovery message.
TEST_F(MqttChain, DiscoveryCarriesTheKeysHomeAssistantRequires) {
    startChain(Kind::Plain);
    ASSERT_TRUE(retainedHolds(kDiscoveryTopic, "cmps"));
    const QJsonObject config = QJsonDocument::fromJson(broker.retained(kDiscoveryTopic).toUtf8()).object();
    EXPECT_FALSE(config["dev"]["ids"].toArray().isEmpty());
    EXPECT_FALSE(config["dev"]["name"].toString().isEmpty());
    EXPECT_FALSE(config["o"]["name"].toString().isEmpty());
    EXPECT_EQ(config["state_topic"].toString(), "veltro/chain/state");
    EXPECT_EQ(config["availability_mode"].toString(), "all");
    EXPECT_EQ(config["availability"].toArray().size(), 2);

    struct Entity {
        const char* key;
        const char* platform;
        const char* deviceClass;  // "" for none
    };
    const Entity kEntities[] = {
        {"forward_power", "sensor", "power"}, {"power_dbm", "sensor", "signal_strength"},
        {"swr", "sensor", ""},                {"impedance", "sensor", ""},
        {"phase", "sensor", ""},              {"resistance", "sensor", ""},
        {"reactance", "sensor", ""},          {"mode", "sensor", "enum"},
        {"alarm", "binary_sensor", "problem"}, {"tx", "binary_sensor", "power"},
        {"peak_forward_power", "sensor", "power"}, {"swr_trip", "binary_sensor", "problem"},
        {"swr_trip_reset", "button", ""},
    };
    const QJsonObject components = config["cmps"].toObject();
    EXPECT_EQ(components.size(), static_cast<int>(std::size(kEntities)));
    for (const Entity& e : kEntities) {
        const QJsonObject component = components[e.key].toObject();
        EXPECT_EQ(component["p"].toString(), e.platform) << e.key;
        EXPECT_EQ(component["unique_id"].toString(), QString("veltro_chain_") + e.key);
        EXPECT_EQ(component["device_class"].toString(), e.deviceClass) << e.key;
        EXPECT_FALSE(component["name"].toString().isEmpty()) << e.key;
    }
}

}  // namespace
