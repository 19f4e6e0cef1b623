// Runs one command on a private X display with openbox, DISPLAY set for it;
// the display goes away when the command ends. Exits with the command's code,
// or 2 when the display or the command could not start.
#include <QCoreApplication>
#include <cstdio>

#include "desktop/x_session.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList command = QCoreApplication::arguments().mid(1);
    if (command.isEmpty()) {
        std::fprintf(stderr, "usage: with_x_display COMMAND [ARGUMENT...]\n");
        return 2;
    }
    veltro::testing::XSession x;
    if (!x.start(true)) {
        std::fprintf(stderr, "with_x_display: no X display\n");
        return 2;
    }
    QProcess process;
    process.setProcessEnvironment(x.environment());
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(command.takeFirst(), command);
    if (!process.waitForStarted(10000)) {
        return 2;
    }
    process.waitForFinished(-1);
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : 1;
}
