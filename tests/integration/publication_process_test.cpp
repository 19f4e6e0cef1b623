// Other programs reading the published file while the panel program polls
// the simulated meter 20 times a second, and the panel killed mid-write.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <random>
#include <set>

#include "integration/panel_program.h"
#include "integration/simulated_meter.h"

namespace {

using veltro::testing::waitFor;

const QRegularExpression kWholeFile(
    QStringLiteral("^\\[Settings\\]\\nActive=[YN]\\nReading=([^\\n\"]{4}|\"[^\\n]{4}\")\\n$"));

class PublicationProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const QString panelCopy = dir.filePath("veltro-panel");
        ASSERT_TRUE(QFile::copy(QStringLiteral(VELTRO_PANEL_PATH), panelCopy));
        QFile config(dir.filePath("config.ini"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(
            "Position-Left=300\r\nPosition-Top=200\r\nPwrMode=0\r\nHeight=5145\r\n"
            "mnuSetup=True\r\nmnuSmall=False\r\nmnuVector=False\r\nComPort=Com01\r\n"
            "Pollrate=50\r\nRange=3\r\nCheck1=0\r\nOnTop=0\r\nVersion=1\r\nHiPwr=0\r\n");
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
    QString published() const { return dir.filePath("xdg/RAREduzo/RAREduzo.ini"); }
    QByteArray publishedBytes() const {
        QFile file(published());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool readingPublished() const {
        return kWholeFile.match(QString::fromLatin1(publishedBytes())).hasMatch();
    }
    QStringList folderEntries() const {
        return QDir(dir.filePath("xdg/RAREduzo")).entryList(QDir::Files | QDir::Hidden);
    }

    QTemporaryDir dir;
    veltro::testing::SimulatedMeter sim;
    QProcess panel;
};

TEST_F(PublicationProcess, ReadersAlwaysGetBothValuesWhole) {
    startPanel();
    ASSERT_TRUE(waitFor([&] { return readingPublished(); })) << publishedBytes().toStdString();
    std::set<ino_t> versions;  // each write is a new file
    int reads = 0;
    QElapsedTimer bound;
    bound.start();
    while ((reads < 3000 || versions.size() < 20) && bound.elapsed() < 120000) {
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(published()).constData(), &status), 0);
        versions.insert(status.st_ino);
        const QByteArray bytes = publishedBytes();
        ASSERT_TRUE(kWholeFile.match(QString::fromLatin1(bytes)).hasMatch())
            << "read " << reads << ": " << bytes.toStdString();
        ++reads;
        if (reads % 100 == 0) {
            QTest::qWait(5);
        }
    }
    EXPECT_GE(versions.size(), 20u) << "writes seen during " << reads << " reads";
    closePanel();
    EXPECT_EQ(folderEntries(), QStringList{"RAREduzo.ini"});
}

// A kill between naming the complete file and renaming it over the old one
// can leave that one name behind; the next write takes it over.
TEST_F(PublicationProcess, KilledMidWriteLeavesTheFileWholeAndNothingElse) {
    const QStringList whole{"RAREduzo.ini"};
    const QStringList withTemporary{"RAREduzo.ini", "RAREduzo.ini.new"};
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
        ASSERT_TRUE(left == whole || left == withTemporary)
            << "kill " << kill << ": " << left.join(' ').toStdString();
    }
    startPanel();
    ASSERT_TRUE(waitFor([&] { return readingPublished(); }));
    closePanel();
    EXPECT_EQ(folderEntries(), whole);
}

}  // namespace
