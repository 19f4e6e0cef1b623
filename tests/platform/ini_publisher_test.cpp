// The ini file "Reading" and "Active" are published in: what other programs
// read in it, what stays in its folder, and writes that cannot be made.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QSettings>
#include <filesystem>
#include <string>

#include "platform/ini_publisher.h"
#include "settings/temp_dir.h"
#include "settings/unprivileged.h"

namespace veltro {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

QString readBack(const fs::path& file, const QString& key) {
    QSettings reader(QString::fromStdString(file.string()), QSettings::IniFormat);
    return reader.value(key).toString();
}

// Byte for byte what QSettings itself writes, so every reader of today's
// file reads the new one alike.
TEST(IniText, WritesValuesAsQSettingsDoes) {
    struct Row {
        std::string value;
        std::string section = "Settings";
        std::string key = "Reading";
    };
    const Row rows[] = {{"43.9"},
                        {" 9.5"},
                        {"-5.0 "},
                        {""},
                        {"@x"},
                        {"a\"b\\c"},
                        {"1,2"},
                        {"a;b=c"},
                        {"\x01"
                         "9"},
                        {"\t"},
                        {"\xe9\x7f"},
                        {std::string("1\0002", 3)},
                        {"9", "General"},
                        {"9", "Settings", "R\xe9" "ading"}};
    for (const Row& row : rows) {
        const std::string value = row.value;
        const QString key = QString::fromLatin1(row.section + "/" + row.key);
        TempDir dir;
        {
            QSettings expected(QString::fromStdString(dir.file("q.ini").string()),
                               QSettings::IniFormat);
            expected.setValue("Settings/Active", "Y");
            expected.setValue(key, QString::fromLatin1(value));
            expected.setValue("Other Group/k.e_y-1", "v");
        }
        IniPublisher publisher;
        const fs::path ours = dir.file("ours.ini");
        publisher.publish(ours.string(), "Settings", "Active", "Y");
        publisher.publish(ours.string(), row.section, row.key, value);
        publisher.publish(ours.string(), "Other Group", "k.e_y-1", "v");
        EXPECT_EQ(readBytes(ours), readBytes(dir.file("q.ini"))) << value;
        EXPECT_EQ(readBack(ours, key), QString::fromLatin1(value)) << value;
    }
}

// Only the file itself: no lock file, no temporary file.
TEST(IniPublisher, LeavesOnlyTheFileAndCreatesItsFolder) {
    TempDir dir;
    const fs::path file = dir.path() / "RAREduzo" / "RAREduzo.ini";
    IniPublisher publisher;
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(publisher.publish(file.string(), "Settings", "Reading", std::to_string(i)));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 1);
    EXPECT_EQ(readBytes(file), "[Settings]\nReading=49\n");
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(
        status.st_mode & 0777, 0666 & ~[] {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            return mask;
        }());
}

// The last run's reading and anything else in the file survive the start.
TEST(IniPublisher, KeepsWhatTheFileHeldBeforeTheFirstWrite) {
    TempDir dir;
    const fs::path file = dir.file("RAREduzo.ini");
    writeBytes(file,
               "[Settings]\r\nReading=\" 9.5\"\r\nActive=Y\r\n\r\n[Mine]\r\nx=@Variant(\\0)\r\n");
    IniPublisher publisher;
    ASSERT_TRUE(publisher.publish(file.string(), "Settings", "Active", "N"));
    EXPECT_EQ(readBytes(file),
              "[Mine]\nx=@Variant(\\0)\n\n[Settings]\nActive=N\nReading=\" 9.5\"\n");
}

// A steady reading keeps the file and moves its modification time on; a file
// someone removed or changed is written anew by the next write, even of the
// same value.
TEST(IniPublisher, ReplacesTheFileOnlyWhenItWouldChange) {
    struct Case {
        const char* what;
        void (*touch)(const fs::path& file);
        bool sameFile;
        int writesAfter = 1;  // the same value again, this many times
    };
    const Case cases[] = {
        {"untouched", [](const fs::path&) {}, true},
        {"untouched, written three times more", [](const fs::path&) {}, true, 3},
        {"removed", [](const fs::path& f) { fs::remove(f); }, false},
        {"changed", [](const fs::path& f) { writeBytes(f, "[Settings]\nReading=1\n"); }, false},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const fs::path file = dir.file("RAREduzo.ini");
        IniPublisher publisher;
        ASSERT_TRUE(publisher.publish(file.string(), "Settings", "Reading", "50.0"));
        struct stat before {}, after {};
        ASSERT_EQ(::stat(file.c_str(), &before), 0);
        c.touch(file);
        for (int i = 0; i < c.writesAfter; ++i) {
            ASSERT_TRUE(publisher.publish(file.string(), "Settings", "Reading", "50.0")) << c.what;
        }
        EXPECT_EQ(readBytes(file), "[Settings]\nReading=50.0\n") << c.what;
        ASSERT_EQ(::stat(file.c_str(), &after), 0);
        if (c.sameFile) {
            EXPECT_EQ(after.st_ino, before.st_ino) << c.what;
            EXPECT_TRUE(after.st_mtim.tv_sec != before.st_mtim.tv_sec ||
                        after.st_mtim.tv_nsec != before.st_mtim.tv_nsec)
                << c.what;
        }
    }
}

// Polling goes on whatever the file system says; the values are kept and
// the next write that can be made carries all of them.
TEST(IniPublisher, FailsQuietlyAndCatchesUpLater) {
    struct Case {
        const char* what;
        void (*spoil)(const fs::path& folder, const fs::path& file);
        void (*mend)(const fs::path& folder, const fs::path& file);
    };
    const Case cases[] = {
        {"unwritable file",
         [](const fs::path&, const fs::path& f) { fs::permissions(f, fs::perms::owner_read); },
         [](const fs::path&, const fs::path& f) { fs::permissions(f, fs::perms::owner_all); }},
        {"read-only folder",
         [](const fs::path& d, const fs::path&) {
             fs::permissions(d, fs::perms::owner_read | fs::perms::owner_exec);
         },
         [](const fs::path& d, const fs::path&) { fs::permissions(d, fs::perms::owner_all); }},
        {"folder cannot be made",
         [](const fs::path& d, const fs::path&) {
             fs::remove_all(d);
             writeBytes(d, "x");
         },
         [](const fs::path& d, const fs::path&) { fs::remove(d); }},
    };
    // As an ordinary user, so that permissions bite; every step in the child.
    for (const Case& c : cases) {
        TempDir dir;
        fs::permissions(dir.path(), fs::perms::all);
        const fs::path folder = dir.path() / "RAREduzo";
        const fs::path file = folder / "RAREduzo.ini";
        EXPECT_TRUE(testing::runUnprivileged([&] {
            IniPublisher publisher;
            const bool first = publisher.publish(file.string(), "Settings", "Active", "Y");
            c.spoil(folder, file);
            const std::string before = readBytes(file);
            const bool failed = !publisher.publish(file.string(), "Settings", "Reading", "43.9");
            const bool unchanged = readBytes(file) == before;
            c.mend(folder, file);
            return first && failed && unchanged &&
                   publisher.publish(file.string(), "Settings", "Reading", "44.0") &&
                   readBytes(file) == "[Settings]\nActive=Y\nReading=44.0\n" &&
                   std::distance(fs::directory_iterator(folder), {}) == 1;
        })) << c.what;
    }
}

}  // namespace
}  // namespace veltro
