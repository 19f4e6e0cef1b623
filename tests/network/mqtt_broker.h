#pragma once

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTest>

#include "support/loopback_port.h"

namespace veltro::testing {

inline bool accepting(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

inline bool run(const QString& program, const QStringList& arguments, const QString& folder) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitCode() == 0;
}

// Debian's mosquitto on a free loopback port with a config of its own:
// anonymous, password-only (user "station", password "s3cret") or TLS with
// a CA made here by openssl. Killed when the test ends, passed or not.
class MqttBroker {
  public:
    enum class Kind { Plain, Password, Tls };

    ~MqttBroker() { stop(); }

    // `running` false: everything ready, the broker itself started later
    // with restart().
    void start(const QString& folder, Kind kind, bool running = true) {
        folder_ = folder;
        kind_ = kind;
        port = freeLoopbackPort();
        // Started as root, mosquitto would become another user who cannot
        // read the test's private folder.
        const passwd* self = ::getpwuid(::getuid());
        QString config = QStringLiteral("listener %1 127.0.0.1\npersistence false\nuser %2\n")
                             .arg(port)
                             .arg(self != nullptr ? self->pw_name : "mosquitto");
        if (kind == Kind::Password) {
            ASSERT_TRUE(run("mosquitto_passwd", {"-b", "-c", "passwd", "station", "s3cret"}, folder));
            writeFile("password", "s3cret\n");
            config += "allow_anonymous false\npassword_file " + folder + "/passwd\n";
        } else {
            config += "allow_anonymous true\n";
        }
        if (kind == Kind::Tls) {
            makeCertificates();
            config += "cafile " + folder + "/ca.pem\ncertfile " + folder + "/server.pem\nkeyfile " +
                      folder + "/server.key\n";
        }
        writeFile("mosquitto.conf", config.toUtf8());
        if (running) {
            restart();
        }
    }
    void restart() {
        stop();
        process_.setWorkingDirectory(folder_);
        process_.start("mosquitto", {"-c", folder_ + "/mosquitto.conf"});
        ASSERT_TRUE(process_.waitForStarted(5000));
        for (int i = 0; i < 400 && !accepting(port); ++i) {
            QTest::qWait(25);
        }
        ASSERT_TRUE(accepting(port)) << process_.readAllStandardError().toStdString()
                                     << process_.readAllStandardOutput().toStdString();
    }
    void stop() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    // What a client needs besides host and port.
    QStringList clientOptions(bool withUser = true) const {
        QStringList options;
        if (kind_ == Kind::Password && withUser) {
            options << "--user" << "station" << "--password-file" << folder_ + "/password";
        }
        if (kind_ == Kind::Tls) {
            options << "--cafile" << folder_ + "/ca.pem";
        }
        return options;
    }
    // One message from a client of the broker's own kind; an empty payload
    // retained clears the topic.
    void publish(const QString& topic, const QString& payload, bool retain) const {
        QStringList arguments = clientArguments() << "-t" << topic;
        arguments << (payload.isEmpty() ? QStringList{"-n"} : QStringList{"-m", payload});
        if (retain) {
            arguments << "-r";
        }
        QProcess pub;
        pub.start("mosquitto_pub", arguments);
        pub.waitForFinished(10000);
    }
    // The retained payload of `topic`, empty when there is none.
    QString retained(const QString& topic) const {
        const QStringList arguments = clientArguments()
                                      << "-t" << topic << "--retained-only" << "-C" << "1" << "-W" << "2";
        QProcess sub;
        sub.start("mosquitto_sub", arguments);
        sub.waitForFinished(10000);
        return QString::fromUtf8(sub.readAllStandardOutput()).trimmed();
    }

    // Which of `topics` hold a retained message: one client waits once for
    // them all, since only a wait tells that a topic holds nothing.
    QStringList retainedAmong(const QStringList& topics) const {
        QStringList arguments = clientArguments() << "-v" << "--retained-only" << "-W" << "2";
        for (const QString& topic : topics) {
            arguments << "-t" << topic;
        }
        QProcess sub;
        sub.start("mosquitto_sub", arguments);
        sub.waitForFinished(10000);
        QStringList holding;
        for (const QString& line : QString::fromUtf8(sub.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
            holding << line.section(' ', 0, 0);
        }
        return holding;
    }

    // Host, port and credentials for mosquitto_pub and mosquitto_sub.
    QStringList clientArguments() const {
        QStringList arguments{"-h", "127.0.0.1", "-p", QString::number(port)};
        if (kind_ == Kind::Password) {
            arguments << "-u" << "station" << "-P" << "s3cret";
        }
        if (kind_ == Kind::Tls) {
            arguments << "--cafile" << folder_ + "/ca.pem";
        }
        return arguments;
    }

    int port = 0;

  private:
    void writeFile(const QString& name, const QByteArray& text) {
        QFile file(folder_ + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    void makeCertificates() {
        const QStringList ec{"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
        writeFile("san.cnf", "subjectAltName=IP:127.0.0.1\n");
        ASSERT_TRUE(run("openssl",
                        QStringList{"req", "-x509"} + ec +
                            QStringList{"-keyout", "ca.key", "-out", "ca.pem", "-days", "2", "-subj", "/CN=test CA"},
                        folder_));
        ASSERT_TRUE(run("openssl",
                        QStringList{"req"} + ec +
                            QStringList{"-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=127.0.0.1"},
                        folder_));
        ASSERT_TRUE(run("openssl",
                        {"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                         "-CAcreateserial", "-out", "server.pem", "-days", "2", "-extfile", "san.cnf"},
                        folder_));
    }

    QString folder_;
    Kind kind_ = Kind::Plain;
    QProcess process_;
};

}  // namespace veltro::testing
