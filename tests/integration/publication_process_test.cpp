// Other programs reading the published file while the panel program polls
// the simulated meter 20 times a second, and the panel killed mid-write.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <random>

#include "integration/panel_program.h"
#include "integration/simulated_meter.h"
#include "line_record.h"
#include "meter/status_frame.h"

namespace {

using veltro::testing::waitFor;

// A field of /proc/<pid>/<file>, such as "VmHWM:" of status, as a number.
long long procField(const QProcess& process, const char* file, const char* field) {
    QFile proc(QStringLiteral("/proc/%1/%2").arg(process.processId()).arg(file));
    if (!proc.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : proc.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(static_cast<qsizetype>(qstrlen(field))).trimmed().split(' ')[0].toLongLong();
        }
    }
    return -1;
}

const QRegularExpression kWholeFile(
    QStringLiteral("^\\[Settings\\]\\nActive=[YN]\\nReading=([^\\n\"]{4}|\"[^\\n]{4}\")\\n$"));

class PublicationProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        veltro::testing::preparePanelIn(dir);
        sim.start(dir.path(), 1, {});
    }
    void TearDown() override {
        stopPanel();
        sim.stop();
    }
    void startPanel() { veltro::testing::startPanelIn(panel, dir); }
    // SIGTERM: the panel closes as from its close box, writing "Active" last.
    void closePanel() {
        panel.terminate();
        ASSERT_TRUE(panel.waitForFinished(10000));
    }
    void stopPanel() {
        if (panel.state() != QProcess::NotRunning) {
            panel.kill();
            panel.waitForFinished(5000);
        }
    }
    QString published() const { return dir.filePath("RAREduzo/RAREduzo.ini"); }
    QByteArray publishedBytes() const {
        const QFileInfo entry(published());  // a pipe or a device would hold the reader
        if (!entry.isFile() || entry.isSymLink() || entry.size() > 4096) {
            return {};
        }
        QFile file(published());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool readingPublished() const {
        return kWholeFile.match(QString::fromLatin1(publishedBytes())).hasMatch();
    }
    QStringList folderEntries() const {
        return QDir(dir.filePath("RAREduzo")).entryList(QDir::Files | QDir::Hidden);
    }

    QTemporaryDir dir;
    veltro::testing::SimulatedMeter sim;
    QProcess panel;
};

// A recording for the simulator to replay, one reply a poll, whose reading
// changes at every poll: the moving station's changes come too seldom to
// replace the published file often within a short test.
QString readingChangingAtEveryPoll(const QTemporaryDir& dir) {
    using veltro::record::Direction;
    std::string text = std::string(veltro::record::kHeader) + "\n";
    for (int poll = 0; poll < 2400; ++poll) {  // two minutes at 50 ms
        veltro::FrameFields fields;
        fields.forwardPower = 10 + poll % 90;
        fields.powerDbm = 10 * std::log10(fields.forwardPower * 1000);
        fields.meterRange = 1;
        text += veltro::record::formatChunk({poll * 50, Direction::ToMeter, "P"}) + "\n" +
                veltro::record::formatChunk({poll * 50 + 5, Direction::FromMeter,
                                             veltro::buildFrame(fields)}) +
                "\n";
    }
    QFile file(dir.filePath("changing.rec"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text.data(), qint64(text.size())));
    return file.fileName();
}

TEST_F(PublicationProcess, ReadersAlwaysGetBothValuesWhole) {
    sim.stop();
    sim.start(dir.path(), 1, {"--replay", readingChangingAtEveryPoll(dir)});
    startPanel();
    ASSERT_TRUE(waitFor([&] { return readingPublished(); })) << publishedBytes().toStdString();
    // Each write is a new file; a freed inode number comes back soon, so a
    // write is seen as a change from the one read before.
    ino_t shown = 0;
    int writes = 0;
    int reads = 0;
    QElapsedTimer bound;
    bound.start();
    while ((reads < 3000 || writes < 20) && bound.elapsed() < 120000) {
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(published()).constData(), &status), 0);
        writes += status.st_ino != shown ? 1 : 0;
        shown = status.st_ino;
        const QByteArray bytes = publishedBytes();
        ASSERT_TRUE(kWholeFile.match(QString::fromLatin1(bytes)).hasMatch())
            << "read " << reads << ": " << bytes.toStdString();
        ++reads;
        if (reads % 100 == 0) {
            QTest::qWait(5);
        }
    }
    EXPECT_GE(writes, 20) << "writes seen during " << reads << " reads";
    closePanel();
    EXPECT_EQ(folderEntries(), QStringList{"RAREduzo.ini"});
}

// A kill between naming the complete file and renaming it over the old one
// can leave that one temporary behind; the next run takes it away.
TEST_F(PublicationProcess, KilledMidWriteLeavesTheFileWholeAndNothingElse) {
    const QStringList whole{"RAREduzo.ini"};
    const QRegularExpression temporary(QStringLiteral("^RAREduzo\\.ini\\.[A-Za-z0-9]{6}$"));
    std::mt19937 random(9);
    for (int kill = 0; kill < 30; ++kill) {
        startPanel();
        ASSERT_TRUE(waitFor([&] { return readingPublished(); })) << "kill " << kill;
        QTest::qWait(static_cast<int>(random() % 150));
        ::kill(static_cast<pid_t>(panel.processId()), SIGKILL);
        ASSERT_TRUE(panel.waitForFinished(5000));
        ASSERT_TRUE(readingPublished())
            << "kill " << kill << ": " << publishedBytes().toStdString();
        const QStringList left = folderEntries();
        ASSERT_TRUE(left == whole || (left.size() == 2 && left.front() == whole.front() &&
                                      temporary.match(left.back()).hasMatch()))
            << "kill " << kill << ": " << left.join(' ').toStdString();
    }
    startPanel();
    ASSERT_TRUE(waitFor([&] { return readingPublished(); }));
    closePanel();
    EXPECT_EQ(folderEntries(), whole);
}

// Whatever stands at the file's name when the panel starts: it starts,
// polls, publishes over it and closes on SIGTERM at once, staying small.
TEST_F(PublicationProcess, AnythingAtTheFileNameIsReplacedWithoutStalling) {
    struct Case {
        const char* what;
        const char* make;  // shell command; $0 is the file's name
    };
    const Case cases[] = {
        {"pipe", "mkfifo \"$0\""},
        {"folder", "mkdir \"$0\""},
        {"link to /dev/zero", "ln -s /dev/zero \"$0\""},
        {"4 GiB sparse file", "truncate -s 4G \"$0\""},
        {"binary junk", "head -c 8192 /dev/urandom > \"$0\""},
        {"unreadable file", "printf '[Settings]\\nReading=12.3\\n' > \"$0\" && chmod 000 \"$0\""},
    };
    // As an ordinary user, so that permissions bite.
    if (::geteuid() == 0) {
        ASSERT_EQ(QProcess::execute("chown", {"-R", "nobody:", dir.path(), sim.devicePath}), 0);
        panel.setChildProcessModifier([] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
                ::_exit(99);
            }
        });
    }
    for (const Case& c : cases) {
        QDir(dir.filePath("RAREduzo")).removeRecursively();
        ASSERT_TRUE(QDir(dir.path()).mkdir("RAREduzo"));
        ASSERT_EQ(QProcess::execute("sh", {"-c", QString::fromLatin1(c.make), published()}), 0)
            << c.what;
        QProcess::execute("chown", {"-hR", "nobody:", dir.filePath("RAREduzo")});

        startPanel();
        ASSERT_TRUE(waitFor([&] { return readingPublished(); })) << c.what;
        EXPECT_LT(procField(panel, "status", "VmHWM:"), 40 * 1024) << c.what << " (kB)";
        QElapsedTimer closing;
        closing.start();
        panel.terminate();
        EXPECT_TRUE(panel.waitForFinished(2000)) << c.what;
        EXPECT_LT(closing.elapsed(), 2000) << c.what;
        stopPanel();
        EXPECT_TRUE(publishedBytes().contains("Active=N")) << c.what;
    }
}

// In the runtime folder, in memory, polling writes nothing to any disk; the
// old folder under the configuration home is not written at all.
TEST_F(PublicationProcess, PollingWritesNothingToADisk) {
    QTemporaryDir runtime(QStringLiteral("/dev/shm/veltro-XXXXXX"));
    if (!runtime.isValid()) {
        GTEST_SKIP() << "no /dev/shm";
    }
    veltro::testing::startPanelIn(panel, dir, runtime.path());
    const QString file = runtime.filePath("RAREduzo/RAREduzo.ini");
    ASSERT_TRUE(waitFor([&] { return QFile(file).size() > 20; }));
    const long long before = procField(panel, "io", "write_bytes:");
    QFile(file).remove();  // the next reading brings it back
    ASSERT_TRUE(waitFor([&] { return QFile::exists(file); }));
    const int answers = sim.answers();
    ASSERT_TRUE(waitFor([&] { return sim.answers() >= answers + 20; }));  // 20 readings
    EXPECT_EQ(procField(panel, "io", "write_bytes:"), before);
    closePanel();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("xdg/RAREduzo")));
}

}  // namespace
