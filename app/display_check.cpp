#include "display_check.h"

#include <cstddef>
#include <cstdlib>
#include <string>
#include <string_view>

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace veltro {
namespace {

#ifndef _WIN32

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// A local stream socket that accepts a connection; `abstractName` puts it in
// Linux's abstract namespace, where X servers listen as well.
bool acceptsConnection(const std::string& path, bool abstractName) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t offset = abstractName ? 1 : 0;
    if (path.empty() || path.size() + offset >= sizeof(address.sun_path)) {
        return false;
    }
    path.copy(address.sun_path + offset, path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    ::close(fd);
    return connected;
}

// DISPLAY is [host]:number[.screen]; without a host (or "unix") the server
// is local, at /tmp/.X11-unix/X<number>.
bool xDisplayReachable(const std::string& display) {
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos) {
        return false;
    }
    const std::string host = display.substr(0, colon);
    if (!host.empty() && host != "unix") {
        return true;
    }
    const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const std::string socket = "/tmp/.X11-unix/X" + number;
    return acceptsConnection(socket, true) || acceptsConnection(socket, false);
}

// WAYLAND_DISPLAY is a socket path, or a name in $XDG_RUNTIME_DIR.
bool waylandDisplayReachable(const std::string& display) {
    if (display.empty()) {
        return false;
    }
    if (display.front() == '/') {
        return acceptsConnection(display, false);
    }
    const std::string runtime = environment("XDG_RUNTIME_DIR");
    return !runtime.empty() && acceptsConnection(runtime + "/" + display, false);
}

#endif

}  // namespace

bool graphicalDisplayAvailable() {
#ifdef _WIN32
    return true;
#else
    const std::string platform = environment("QT_QPA_PLATFORM");
    if (!platform.empty() && platform.find("xcb") == std::string::npos &&
        platform.find("wayland") == std::string::npos) {
        return true;
    }
    return xDisplayReachable(environment("DISPLAY")) ||
           waylandDisplayReachable(environment("WAYLAND_DISPLAY"));
#endif
}

}  // namespace veltro
