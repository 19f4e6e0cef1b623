#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "settings/config_file.h"
#include "temp_dir.h"
#include "unprivileged.h"

namespace veltro {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

std::vector<std::string> entries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

const std::vector<std::string> kOnlyConfig = {"config.ini"};

TEST(WriteSettingsFile, ReplacesTheWholeFileAndLeavesNothingElse) {
    TempDir dir;
    const auto file = dir.file("config.ini");
    ASSERT_TRUE(writeSettingsFile(file, std::string(50000, 'a')));
    ASSERT_TRUE(writeSettingsFile(file, "short\r\n"));
    EXPECT_EQ(readBytes(file), "short\r\n");
    EXPECT_EQ(entries(dir.path()), kOnlyConfig);
}

TEST(WriteSettingsFile, FolderThatCannotHoldTheFileFails) {
    TempDir dir;
    writeBytes(dir.file("plain"), "x");
    EXPECT_FALSE(writeSettingsFile(dir.file("plain") / "config.ini", "a=1\r\n"));
    EXPECT_FALSE(writeSettingsFile(dir.file("missing") / "config.ini", "a=1\r\n"));
    EXPECT_EQ(readBytes(dir.file("plain")), "x");
}

// A save is atomic or fails: a writable config.ini in a read-only folder is
// never rewritten in place, where a failure halfway would tear it.
TEST(WriteSettingsFile, ReadOnlyFolderFailsAndKeepsTheOldFile) {
    using std::filesystem::perms;
    const perms fileModes[] = {perms::owner_read | perms::owner_write | perms::others_read,
                               perms::all};
    for (const perms fileMode : fileModes) {
        SCOPED_TRACE(static_cast<int>(fileMode));
        TempDir dir;
        const auto file = dir.file("config.ini");
        writeBytes(file, "old\r\n");
        std::filesystem::permissions(file, fileMode);
        std::filesystem::permissions(dir.path(), perms::owner_read | perms::owner_exec |
                                                     perms::others_read | perms::others_exec);
        EXPECT_TRUE(testing::runUnprivileged([&] { return !writeSettingsFile(file, "new\r\n"); }))
            << "the save reports its failure";
        std::filesystem::permissions(dir.path(), perms::owner_all);
        EXPECT_EQ(readBytes(file), "old\r\n");
        EXPECT_EQ(entries(dir.path()), kOnlyConfig);
    }
}

// A file-size limit makes every write past it fail as a full disk would,
// for root as well. Runs in a child so the limit stays there.
TEST(WriteSettingsFile, FullDiskFailsAndKeepsTheOldFile) {
    TempDir dir;
    const auto file = dir.file("config.ini");
    writeBytes(file, "old\r\n");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, 1000};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(writeSettingsFile(file, std::string(100000, 'n')) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a save that could not be written reported success";
    EXPECT_EQ(readBytes(file), "old\r\n");
    EXPECT_EQ(entries(dir.path()), kOnlyConfig);
}

// A process killed at any moment of a save leaves one complete version.
TEST(WriteSettingsFile, KilledMidSaveNeverLeavesATornFile) {
    TempDir dir;
    const auto file = dir.file("config.ini");
    const std::string small = defaultSettingsText();
    std::string big;
    while (big.size() < 300000) big += "Position-Left=123456789\r\n";
    ASSERT_TRUE(writeSettingsFile(file, small));

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayMicros(0, 3000);
    for (int round = 0; round < 150; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (bool useBig = round % 2 == 0;; useBig = !useBig) {
                writeSettingsFile(file, useBig ? big : small);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicros(random)));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const std::string now = readBytes(file);
        ASSERT_TRUE(now == small || now == big) << "torn file of " << now.size() << " bytes";
    }
}

}  // namespace
}  // namespace veltro
