#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <QTest>
#include <functional>
#include <string>

namespace veltro::testing {

// Waits in small steps, running the event loop, until `done` holds; false
// when the bound runs out.
inline bool waitFor(const std::function<bool()>& done, int steps = 400) {
    for (int i = 0; i < steps && !done(); ++i) {
        QTest::qWait(25);
    }
    return done();
}

// veltro-meter-sim as a child process, its link ports/com<port> in `folder`.
class SimulatedMeter {
  public:
    // Starts it and waits for the device path it prints; a test fails here
    // when it does not come up.
    void start(const QString& folder, int port, const QStringList& options = {"--steady"}) {
        process.setProgram(QStringLiteral(VELTRO_SIM_PATH));
        process.setArguments(QStringList{"--dir", folder, "--port", QString::number(port)} +
                             options);
        process.start();
        ASSERT_TRUE(process.waitForStarted(5000));
        while (!process.canReadLine() && process.waitForReadyRead(5000)) {
        }
        ASSERT_TRUE(process.canReadLine()) << "the simulator prints its device path";
        devicePath = QString::fromUtf8(process.readLine()).trimmed();
    }
    // SIGTERM, as a station's shutdown would send; it removes its link.
    void stop() {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            EXPECT_TRUE(process.waitForFinished(5000));
        }
    }
    // A run-time switch ("split", "normal", ...), one line on its input.
    void control(const char* line) {
        process.write(line);
        process.write("\n");
        ASSERT_TRUE(process.waitForBytesWritten(2000));
    }
    // After a vanish: waits for the new device path it prints on return.
    bool waitForReturn(int ms = 20000) {
        while (!process.canReadLine() && process.waitForReadyRead(ms)) {
        }
        if (!process.canReadLine()) {
            return false;
        }
        devicePath = QString::fromUtf8(process.readLine()).trimmed();
        return true;
    }
    // Everything it has logged so far: one line per command received.
    const std::string& log() {
        log_ += process.readAllStandardError().toStdString();
        return log_;
    }
    bool received(const std::string& command) {
        return log().find("received \"" + command + "\"") != std::string::npos;
    }
    // How many commands it has answered so far: a test waits for a count,
    // not for a time.
    int answers() {
        int count = 0;
        for (auto at = log().find("): answered"); at != std::string::npos;
             at = log_.find("): answered", at + 1)) {
            ++count;
        }
        return count;
    }

    QProcess process;
    QString devicePath;

  private:
    std::string log_;
};

}  // namespace veltro::testing
