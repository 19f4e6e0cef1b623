#include "platform/qt_serial_port.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "platform/pty_pair.h"
#include "support/process_cpu.h"

namespace veltro {
namespace {

using testing::cpuSeconds;

class QtSerialPortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(pty.ok());
        ASSERT_TRUE(QDir(dir.path()).mkpath("ports"));
    }
    // ports/com<n> -> the pty slave, as the simulator or the operator makes it.
    void linkPort(int number) {
        ASSERT_TRUE(QFile::link(QString::fromStdString(pty.slavePath()),
                                dir.filePath(QStringLiteral("ports/com%1").arg(number))));
    }
    void openLinked(QtSerialPort& port, int number = 3) {
        linkPort(number);
        ASSERT_TRUE(port.setCommPort(number));
        ASSERT_TRUE(port.setPortOpen(true)) << port.errorString();
    }
    static speed_t slaveSpeed(int fd) {
        termios t{};
        tcgetattr(fd, &t);
        return cfgetospeed(&t);
    }

    QTemporaryDir dir;
    PtyPair pty;
};

TEST_F(QtSerialPortTest, PortNumbersMapToLinksBesideTheProgramElseToSystemPorts) {
    QTemporaryDir userDir;
    ASSERT_TRUE(QDir(userDir.path()).mkpath("ports"));
    QtSerialPort port(dir.path(), userDir.path());
    linkPort(2);
    // A dangling link still names the operator's device.
    ASSERT_TRUE(QFile::link(dir.filePath("nowhere"), dir.filePath("ports/com4")));
    for (const int number : {2, 5}) {
        ASSERT_TRUE(QFile::link(dir.filePath("elsewhere"),
                                userDir.filePath(QStringLiteral("ports/com%1").arg(number))));
    }
    const struct {
        int number;
        QString path;
        bool throughLink;
    } rows[] = {
        {2, dir.filePath("ports/com2"), true},  // the program's folder before the user's
        {4, dir.filePath("ports/com4"), true},
        {5, userDir.filePath("ports/com5"), true},
        {1, "/dev/ttyS0", false},
        {16, "/dev/ttyS15", false},
    };
    for (const auto& row : rows) {
        const QtSerialPort::ResolvedDevice device = port.resolveDevice(row.number);
        EXPECT_EQ(device.path, row.path) << row.number;
        EXPECT_EQ(device.throughLink, row.throughLink) << row.number;
    }
}

TEST_F(QtSerialPortTest, RefusesPortNumbersOutsideOneTo255AndKeepsTheOldOne) {
    QtSerialPort port(dir.path());
    EXPECT_EQ(port.commPort(), 1);
    for (int bad : {0, -1, 256, 32767}) {
        EXPECT_FALSE(port.setCommPort(bad)) << bad;
        EXPECT_EQ(port.commPort(), 1);
    }
    EXPECT_TRUE(port.setCommPort(255));
    EXPECT_EQ(port.commPort(), 255);
}

TEST_F(QtSerialPortTest, MissingDeviceFailsCleanlyAndSaysWhy) {
    QtSerialPort port(dir.path());
    ASSERT_TRUE(QFile::link(dir.filePath("gone"), dir.filePath("ports/com5")));
    ASSERT_TRUE(port.setCommPort(5));
    EXPECT_FALSE(port.setPortOpen(true));
    EXPECT_FALSE(port.portOpen());
    EXPECT_NE(port.errorString().find("com5"), std::string::npos) << port.errorString();
    // Everything the cycle does on a closed port is harmless.
    port.setOutBufferCount(0);
    port.setInBufferCount(0);
    port.output(";P?");
    EXPECT_EQ(port.input(), "");
}

TEST_F(QtSerialPortTest, SecondOpenOfABusyDeviceFails) {
    QtSerialPort first(dir.path());
    openLinked(first);
    QtSerialPort second(dir.path());
    ASSERT_TRUE(second.setCommPort(3));
    EXPECT_FALSE(second.setPortOpen(true));
    EXPECT_FALSE(second.errorString().empty());
    EXPECT_TRUE(first.portOpen());
}

TEST_F(QtSerialPortTest, OpensClosesAndReopens) {
    QtSerialPort port(dir.path());
    openLinked(port);
    EXPECT_TRUE(port.portOpen());
    EXPECT_FALSE(port.setCommPort(4)) << "number changes only while closed";
    EXPECT_TRUE(port.setPortOpen(false));
    EXPECT_FALSE(port.portOpen());
    EXPECT_TRUE(port.setPortOpen(true)) << port.errorString();
    EXPECT_TRUE(port.portOpen());
}

TEST_F(QtSerialPortTest, OutputReachesTheLineExactly) {
    QtSerialPort port(dir.path());
    openLinked(port);
    const std::string command(";C\x01?;P \xff?", 10);
    port.output(command);
    EXPECT_EQ(pty.receive(), command);
    port.output("P");
    port.output("A");
    EXPECT_EQ(pty.receive(), "PA");
}

TEST_F(QtSerialPortTest, InputReturnsEverythingArrivedWithoutTheEventLoop) {
    QtSerialPort port(dir.path());
    openLinked(port);
    port.setInputLen(0);
    EXPECT_EQ(port.input(), "");
    const std::string first = ";first half of a reply";
    std::string second(3000, 'x');
    second.append("\r\n\0end", 6);  // binary bytes pass untouched
    pty.send(first);
    pty.send(second);
    // Bytes reach the slave; no events are processed.
    ASSERT_TRUE(pty.waitQueued(static_cast<int>(first.size() + second.size())));

    QElapsedTimer timer;
    timer.start();
    const std::string got = port.input();
    EXPECT_LT(timer.elapsed(), 2000) << "a read never waits for more";
    EXPECT_EQ(got, first + second);
    EXPECT_EQ(port.input(), "") << "a read empties the buffer";
}

TEST_F(QtSerialPortTest, InputLenLimitsOneRead) {
    QtSerialPort port(dir.path());
    openLinked(port);
    port.setInputLen(4);
    pty.send("0123456789");
    ASSERT_TRUE(pty.waitQueued(10));
    EXPECT_EQ(port.input(), "0123");
    port.setInputLen(0);
    EXPECT_EQ(port.input(), "456789");
}

TEST_F(QtSerialPortTest, InBufferCountZeroDiscardsWhatWasReceived) {
    QtSerialPort port(dir.path());
    openLinked(port);
    pty.send("stale bytes");
    ASSERT_TRUE(pty.waitQueued(11));
    QCoreApplication::processEvents();
    port.setInBufferCount(0);
    EXPECT_EQ(port.input(), "");
    pty.send("fresh");
    ASSERT_TRUE(pty.waitQueued(5));
    EXPECT_EQ(port.input(), "fresh");
}

TEST_F(QtSerialPortTest, SettingsApplyAtOnceToAnOpenPort) {
    QtSerialPort port(dir.path());
    ASSERT_TRUE(port.setSettings("38400,n,8,1"));
    openLinked(port);
    EXPECT_EQ(slaveSpeed(pty.slaveFd()), B38400);
    ASSERT_TRUE(port.setSettings("115200,n,8,1"));
    EXPECT_EQ(slaveSpeed(pty.slaveFd()), B115200);
    EXPECT_EQ(port.settings(), "115200,n,8,1");
    EXPECT_FALSE(port.setSettings("115200;n;8;1"));
    EXPECT_EQ(port.settings(), "115200,n,8,1");
    EXPECT_EQ(slaveSpeed(pty.slaveFd()), B115200);
}

TEST_F(QtSerialPortTest, LinksToWhatIsNoSerialDeviceFailToOpenAndStayUntouched) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("folder"));
    QFile file(dir.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();
    const char* targets[] = {"file", "folder", "/dev/null", "missing"};
    QtSerialPort port(dir.path());
    int number = 10;
    for (const char* target : targets) {
        SCOPED_TRACE(target);
        const QString path = QString::fromLatin1(target).startsWith('/')
                                 ? QString::fromLatin1(target)
                                 : dir.filePath(QString::fromLatin1(target));
        ASSERT_TRUE(QFile::link(path, dir.filePath(QStringLiteral("ports/com%1").arg(number))));
        ASSERT_TRUE(port.setCommPort(number++));
        EXPECT_FALSE(port.setPortOpen(true));
        EXPECT_FALSE(port.portOpen());
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "keep me");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));
}

TEST_F(QtSerialPortTest, AFloodKeepsABoundedTailThatStillReadsAsTooLong) {
    QtSerialPort port(dir.path());
    openLinked(port);
    port.setInputLen(0);
    const std::string chunk(4096, '#');
    for (int sent = 0; sent < 4 * 1024 * 1024; sent += static_cast<int>(chunk.size())) {
        pty.send(chunk);
        QCoreApplication::processEvents();  // Qt takes what it will between reads
    }
    const std::string flood = port.input();
    EXPECT_LE(flood.size(), QtSerialPort::kKeptInputBytes);
    EXPECT_GT(flood.size(), 43u) << "still too long for a frame";
    while (!port.input().empty()) {
    }
    const std::string frame = ";" + std::string(42, '1');
    pty.send(frame);
    ASSERT_TRUE(pty.waitQueued(43));
    EXPECT_EQ(port.input(), frame);
}

TEST_F(QtSerialPortTest, FarEndClosingLeavesASilentPortWithoutSpinning) {
    QtSerialPort port(dir.path());
    openLinked(port);
    pty.closeSlave();
    pty.closeMaster();

    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    for (int tick = 0; tick < 10; ++tick) {  // a few poll cycles' worth
        port.setOutBufferCount(0);
        port.output(";P?");
        EXPECT_EQ(port.input(), "");
        QTest::qWait(40);
    }
    const double cpuUsed = cpuSeconds() - cpuBefore;
    // A notifier spinning on a hung-up descriptor would burn the whole wait.
    EXPECT_LT(cpuUsed, 0.5 * wall.elapsed() / 1000.0);
    // Open to the program until it closes the port, but silent.
    EXPECT_TRUE(port.portOpen());
    EXPECT_TRUE(port.setPortOpen(false));
    EXPECT_FALSE(port.portOpen());
    EXPECT_NE(port.errorString().find("lost"), std::string::npos) << port.errorString();
}

// A close and reopen before the queued report deals with the loss: the
// report is not made after all.
TEST_F(QtSerialPortTest, ALossIsReportedOnlyWhileNothingDealtWithIt) {
    for (const bool reopenFirst : {false, true}) {
        SCOPED_TRACE(reopenFirst);
        PtyPair line;
        ASSERT_TRUE(line.ok());
        const QString link = dir.filePath("ports/com7");
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(QString::fromStdString(line.slavePath()), link));
        QtSerialPort port(dir.path());
        ASSERT_TRUE(port.setCommPort(7));
        ASSERT_TRUE(port.setPortOpen(true)) << port.errorString();
        int reports = 0;
        port.onDeviceLost([&] { ++reports; });
        line.closeSlave();
        line.closeMaster();
        port.output(";P?");
        EXPECT_EQ(port.input(), "");  // the write met the hang-up; the report is queued
        if (reopenFirst) {
            port.setPortOpen(false);
            port.setPortOpen(true);
        }
        QTest::qWait(50);
        EXPECT_EQ(reports, reopenFirst ? 0 : 1);
    }
}

}  // namespace
}  // namespace veltro
