#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

namespace veltro::testing {

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
