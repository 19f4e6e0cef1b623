#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace veltro::testing {

// A config.ini that connects to port 1 and polls every 50 ms.
inline constexpr const char* kConfigPollingPort1 =
    "Position-Left=300\r\nPosition-Top=200\r\nPwrMode=0\r\nHeight=5145\r\n"
    "mnuSetup=True\r\nmnuSmall=False\r\nmnuVector=False\r\nComPort=Com01\r\n"
    "Pollrate=50\r\nRange=3\r\nCheck1=0\r\nOnTop=0\r\nVersion=1\r\nHiPwr=0\r\n";

// Copies veltro-panel into `dir` beside a config.ini holding `config`.
inline void preparePanelIn(const QTemporaryDir& dir, const char* config = kConfigPollingPort1) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELTRO_PANEL_PATH), dir.filePath("veltro-panel")));
    QFile file(dir.filePath("config.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.write(config) > 0);
}

// The copy of veltro-panel in `dir`, offscreen, publishing into
// <runtime>/RAREduzo, by default dir/RAREduzo.
inline void startPanelIn(QProcess& panel, const QTemporaryDir& dir,
                         const QString& runtime = QString()) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", dir.filePath("xdg"));
    env.insert("XDG_RUNTIME_DIR", runtime.isEmpty() ? dir.path() : runtime);
    panel.setProcessEnvironment(env);
    panel.setProgram(dir.filePath("veltro-panel"));
    panel.start();
    ASSERT_TRUE(panel.waitForStarted(5000));
}

}  // namespace veltro::testing
