#pragma once

#include <string>

namespace veltro::tap {

// The CA and the optional client certificate and key, read and parsed as
// the MQTT client will load them, so that a bad file is one line at start
// instead of a connection that fails on every attempt. A key that needs a
// passphrase is refused: nothing would be there to type it.
bool checkTlsFiles(const std::string& caFile, const std::string& certFile, const std::string& keyFile,
                   std::string& error);

}  // namespace veltro::tap
