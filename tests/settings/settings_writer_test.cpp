#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
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

// Each way a save can fail part-way leaves the old file byte for byte, and
// the next save that can complete writes. A file-size limit fails writes as
// a full disk does, for root as well; a small file system is mounted only
// when the tests run as root.
enum class Fault { SizeLimit, FullDisk, NoInodes, RenameRefused };
struct SaveFault {
    const char* name;
    Fault fault;
    size_t bytes;  // the failing save's size
    off_t spare;   // room left on the full disk
};
const SaveFault kSaveFaults[] = {
    {"SmallSavePastSizeLimitFailsOnlyAtTheLastFlush", Fault::SizeLimit, 300, 0},
    {"LargeSavePastSizeLimit", Fault::SizeLimit, 100000, 0},
    {"SmallSaveOnFullDisk", Fault::FullDisk, 300, 0},
    {"SaveLargerThanTheRoomLeft", Fault::FullDisk, 100000, 16384},
    {"NoInodeLeft", Fault::NoInodes, 300, 0},
    {"ConfigMadeImmutableFailsTheRename", Fault::RenameRefused, 300, 0},
};

void breakDisk(const SaveFault& row, const std::filesystem::path& fill, const std::string& file) {
    std::filesystem::create_directory(fill);
    for (int n = 0; row.fault == Fault::NoInodes && std::ofstream(fill / std::to_string(n)); ++n) {
    }
    std::ofstream out(fill / "blocks", std::ios::binary);
    while (row.fault == Fault::FullDisk && out.write(std::string(4096, 'f').data(), 4096).flush()) {
    }
    out.close();
    if (row.spare > 0)
        truncate((fill / "blocks").c_str(), std::filesystem::file_size(fill / "blocks") - row.spare);
    if (row.fault == Fault::RenameRefused) {
        ASSERT_EQ(std::system(("chattr +i " + file).c_str()), 0);
    }
}

TEST(WriteSettingsFile, FailedSaveKeepsTheOldFileByteForByte) {
    for (const SaveFault& row : kSaveFaults) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        auto folder = dir.path();
        if (row.fault != Fault::SizeLimit) {
            if (geteuid() != 0) {
                std::cout << "[  SKIPPED ] " << row.name << ": mounting a tmpfs needs root\n";
                continue;
            }
            folder /= "disk";
            std::filesystem::create_directory(folder);
            ASSERT_EQ(mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=256k,nr_inodes=16"), 0);
        }
        const auto file = folder / "config.ini";
        ASSERT_TRUE(writeSettingsFile(file, defaultSettingsText()));
        breakDisk(row, folder / "fill", file.string());
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN);
            const rlim_t limit = row.fault == Fault::SizeLimit ? row.bytes / 3 : RLIM_INFINITY;
            const rlimit size{limit, limit};
            setrlimit(RLIMIT_FSIZE, &size);
            _exit(writeSettingsFile(file, std::string(row.bytes, 'n')) ? 1 : 0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "failure reported as success";
        EXPECT_EQ(readBytes(file), defaultSettingsText());
        auto names = entries(folder);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"config.ini", "fill"}));
        std::system(("chattr -i " + file.string()).c_str());
        std::filesystem::remove_all(folder / "fill");
        EXPECT_TRUE(writeSettingsFile(file, "next\r\n"));
        EXPECT_EQ(readBytes(file), "next\r\n");
        if (folder != dir.path())
            umount2(folder.c_str(), MNT_DETACH);
    }
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
