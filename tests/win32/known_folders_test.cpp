#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "platform/win32/known_folders.h"

namespace veltro::win32 {
namespace {

TEST(KnownFolders, LocalAppDataIsTheUsersOwnWritableFolder) {
    const std::filesystem::path folder = localAppDataFolder();
    ASSERT_TRUE(folder.is_absolute()) << folder;
    EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
    EXPECT_EQ(folder.filename(), "Local");
    EXPECT_EQ(folder.parent_path().filename(), "AppData");
    wchar_t fromEnvironment[MAX_PATH];
    if (GetEnvironmentVariableW(L"LOCALAPPDATA", fromEnvironment, MAX_PATH) > 0) {
        EXPECT_TRUE(std::filesystem::equivalent(folder, fromEnvironment));
    }

    const std::filesystem::path probe = folder / "Veltro-test" / "config.ini";
    std::filesystem::create_directories(probe.parent_path());
    std::ofstream(probe) << "Position-Left=0\r\n";
    EXPECT_TRUE(std::filesystem::exists(probe));
    std::filesystem::remove_all(probe.parent_path());
}

}  // namespace
}  // namespace veltro::win32
