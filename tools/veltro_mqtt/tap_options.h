#pragma once

#include <string>

#include "firmware_generation.h"

namespace veltro::tap {

// Everything veltro-mqtt is told, from its command line and an optional
// config file (the command line wins).
struct TapOptions {
    std::string device;            // the real serial device, any path
    int port = 1;                  // the panel's side: <folder>/ports/com<port>
    std::string folder;            // empty: where the panel beside it looks
    std::string host = "127.0.0.1";
    int brokerPort = 0;            // 0: 1883, or 8883 with TLS
    std::string id;                // empty: <host name>-com<port>
    std::string discoveryPrefix = "homeassistant";
    bool discovery = true;
    std::string caFile;            // TLS on when set
    std::string certFile;          // client certificate and its key
    std::string keyFile;
    std::string user;
    std::string passwordFile;      // first line is the password
    bool insecure = false;         // plain MQTT to another machine
    std::string recordFile;
    int heartbeatSeconds = 30;
    bool forget = false;           // clear what this id left on the broker, then exit
    // With no panel on its side the tap polls the meter itself this often
    // (0: never), in the meter's generation's dialect and line speed.
    int alonePollMs = 100;
    sim::Generation generation = sim::Generation::Newer;
    bool help = false;

    int effectiveBrokerPort() const { return brokerPort != 0 ? brokerPort : caFile.empty() ? 1883 : 8883; }
};

// Fills `options` from argv and the file named by --config. False with one
// message naming the bad argument, setting or file line.
bool parseTapOptions(int argc, char** argv, TapOptions& options, std::string& error);
// Checks that do not depend on where each value came from.
bool validateTapOptions(const TapOptions& options, std::string& error);

// A literal loopback address (127.0.0.0/8, ::1) or exactly "localhost": no
// TLS needed to reach it. A name is never judged by how it begins.
bool isLoopbackHost(const std::string& host);
// A topic level of letters, digits, '-' and '_' from the host name.
std::string defaultId(const std::string& hostName, int port);

std::string tapUsageText();

}  // namespace veltro::tap
