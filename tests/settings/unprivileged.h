#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace veltro::testing {

// Runs `check` as an ordinary user, so file permissions bite: directly when
// the tests already run unprivileged, else in a child that drops root for
// the "nobody" account. Returns what `check` returned; false if the child
// could not run it.
inline bool runUnprivileged(const std::function<bool()>& check) {
    if (geteuid() != 0) {
        return check();
    }
    constexpr uid_t kNobody = 65534;
    const pid_t child = fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        const bool dropped = setgid(kNobody) == 0 && setuid(kNobody) == 0;
        _exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace veltro::testing
