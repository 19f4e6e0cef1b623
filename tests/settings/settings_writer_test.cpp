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

#include "files/whole_file.h"
#include "platform/ini_publisher.h"
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
    ASSERT_TRUE(replaceWholeFile(file, std::string(50000, 'a')));
    ASSERT_TRUE(replaceWholeFile(file, "short\r\n"));
    EXPECT_EQ(readBytes(file), "short\r\n");
    EXPECT_EQ(entries(dir.path()), kOnlyConfig);
}

TEST(WriteSettingsFile, FolderThatCannotHoldTheFileFails) {
    TempDir dir;
    writeBytes(dir.file("plain"), "x");
    EXPECT_FALSE(replaceWholeFile(dir.file("plain") / "config.ini", "a=1\r\n"));
    EXPECT_FALSE(replaceWholeFile(dir.file("missing") / "config.ini", "a=1\r\n"));
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
        EXPECT_TRUE(testing::runUnprivileged([&] { return !replaceWholeFile(file, "new\r\n"); }))
            << "the save reports its failure";
        std::filesystem::permissions(dir.path(), perms::owner_all);
        EXPECT_EQ(readBytes(file), "old\r\n");
        EXPECT_EQ(entries(dir.path()), kOnlyConfig);
    }
}

// Each way a save can fail part-way leaves the old file byte for byte, and
// the next save that can complete writes. A file-size limit fails writes as
// a full disk does, for any user; the other rows break a small tmpfs, which
// the test mounts when it runs as root.
struct SaveFault {
    const char* name;
    const char* breakDisk;  // shell command run in the folder; "": the size limit
    size_t bytes;           // the failing save's size
    bool published = false; // made by a new run's publisher of "Reading"
};
const SaveFault kSaveFaults[] = {
    {"SmallSavePastSizeLimitFailsOnlyAtTheLastFlush", "", 300},
    {"LargeSavePastSizeLimit", "", 100000},
    {"SmallSaveOnFullDisk", "dd if=/dev/zero of=fill/blocks bs=4k", 300},
    {"SaveLargerThanTheRoomLeft", "dd if=/dev/zero of=fill/b bs=4k; truncate -s -16k fill/b", 100000},
    {"NoInodeLeft", "seq 20 | xargs -I@ touch fill/@", 300},
    {"ImmutableConfigFailsTheRename", "chattr +i config.ini", 300},
    {"PublishedValuesOnFullDisk", "dd if=/dev/zero of=fill/blocks bs=4k", 300, true},
};

struct Unmount {
    std::string at;
    ~Unmount() {
        if (!at.empty()) umount2(at.c_str(), MNT_DETACH);
    }
};

TEST(WriteSettingsFile, FailedSaveKeepsTheOldFileByteForByte) {
    for (const SaveFault& row : kSaveFaults) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const bool onTmpfs = *row.breakDisk != '\0';
        if (onTmpfs && geteuid() != 0) {
            std::cout << "[  SKIPPED ] " << row.name << ": mounting a tmpfs needs root\n";
            continue;
        }
        const Unmount unmount{onTmpfs ? dir.path().string() : ""};
        ASSERT_TRUE(!onTmpfs || mount("tmpfs", dir.path().c_str(), "tmpfs", 0,
                                      "size=256k,nr_inodes=16") == 0);
        const auto file = dir.file("config.ini");
        ASSERT_TRUE(replaceWholeFile(file, defaultSettingsText()));
        const std::string inFolder = "cd " + dir.path().string() + " && { mkdir -p fill; ";
        std::system((inFolder + row.breakDisk + "\n} 2>/dev/null").c_str());
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN);
            const rlim_t limit = onTmpfs ? RLIM_INFINITY : row.bytes / 3;
            const rlimit size{limit, limit};
            setrlimit(RLIMIT_FSIZE, &size);
            const std::string bytes(row.bytes, 'n');
            IniPublisher publisher;
            _exit((row.published ? publisher.publish(file, "Settings", "Reading", bytes)
                                 : replaceWholeFile(file, bytes)) ? 1 : 0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "failure reported as success";
        EXPECT_EQ(readBytes(file), defaultSettingsText());
        auto names = entries(dir.path());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"config.ini", "fill"}));
        std::system((inFolder + "chattr -i config.ini; rm -rf fill; } 2>/dev/null").c_str());
        EXPECT_TRUE(replaceWholeFile(file, "next\r\n"));
        EXPECT_EQ(readBytes(file), "next\r\n");
    }
}

// A process killed at any moment of a save leaves one complete version.
TEST(WriteSettingsFile, KilledMidSaveNeverLeavesATornFile) {
    TempDir dir;
    const auto file = dir.file("config.ini");
    const std::string small = defaultSettingsText();
    std::string big;
    while (big.size() < 300000) big += "Position-Left=123456789\r\n";
    ASSERT_TRUE(replaceWholeFile(file, small));

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayMicros(0, 3000);
    for (int round = 0; round < 150; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (bool useBig = round % 2 == 0;; useBig = !useBig) {
                replaceWholeFile(file, useBig ? big : small);
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
