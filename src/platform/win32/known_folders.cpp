#include "platform/win32/known_folders.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace veltro::win32 {

std::filesystem::path localAppDataFolder() {
    PWSTR path = nullptr;
    std::filesystem::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &path))) {
        folder = path;
    }
    // The shell allocates the text even for some failures.
    CoTaskMemFree(path);
    return folder;
}

}  // namespace veltro::win32
