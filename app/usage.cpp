#include "usage.h"

#include <cstdio>
#include <cstring>

namespace veltro {
namespace {

constexpr const char* kUsage = R"(Usage: veltro-panel

The control panel for the Veltro RF wattmeter. It takes no options; all its
settings come from config.ini and change through its window.

Files:
  config.ini   beside the program while its folder is writable (a build
               folder or a portable copy); when it is not (an installed
               package), $XDG_CONFIG_HOME/veltro-panel/config.ini, normally
               ~/.config/veltro-panel/config.ini. That file starts as a copy
               of a config.ini beside the program, if there is one; once it
               exists, it alone counts.
  ports/com<n> port n of the port box: this link in the program's folder,
               then in that per-user folder; without one, /dev/ttyS<n-1>.
               A link to a real device needs read/write access to it
               (group dialout).
  $XDG_RUNTIME_DIR/RAREduzo/RAREduzo.ini
               "Reading" and "Active" for other programs, group [Settings];
               in memory, emptied at reboot (without XDG_RUNTIME_DIR:
               /tmp/runtime-<user>).
On Windows the per-user folder is %LOCALAPPDATA%\veltro-panel, port n is
COM<n>, and "Reading" and "Active" are in the registry under
HKEY_CURRENT_USER\Software\VB and VBA Program Settings\RAREduzo\Settings.
)";

}  // namespace

bool printUsageIfAsked(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "--help") != 0) {
        return false;
    }
    std::fputs(kUsage, stdout);
    return true;
}

}  // namespace veltro
