// The disk's answer to the sync decides a save: an fsync that fails is a
// failed save and the old file stays. fsync is stood in for in this
// executable alone; everything else is the real file system.
#include "files/whole_file.h"

#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "settings/temp_dir.h"

namespace {
int failSyncsWith = 0;  // an errno, or 0 for the real sync
}  // namespace

extern "C" int fsync(int fd) {
    if (failSyncsWith != 0) {
        errno = failSyncsWith;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace veltro {
namespace {

TEST(WholeFile, FailedSyncKeepsTheOldFile) {
    const struct {
        int error;
        bool written;
    } rows[] = {{0, true}, {EIO, false}, {ENOSPC, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.error);
        testing::TempDir dir;
        const auto file = dir.file("config.ini");
        testing::writeBytes(file, "old\r\n");
        failSyncsWith = row.error;
        EXPECT_EQ(replaceWholeFile(file, "new\r\n"), row.written);
        failSyncsWith = 0;
        EXPECT_EQ(testing::readBytes(file), row.written ? "new\r\n" : "old\r\n");
        const auto entries = std::distance(std::filesystem::directory_iterator(dir.path()),
                                           std::filesystem::directory_iterator());
        EXPECT_EQ(entries, 1);  // no temporary left behind
    }
}

}  // namespace
}  // namespace veltro
