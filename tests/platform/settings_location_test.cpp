// Which folder holds config.ini: the program's while writable, else the
// per-user one; run as an ordinary user so permissions bite under root.
#include "platform/settings_location.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <string>

#include "settings/temp_dir.h"
#include "settings/unprivileged.h"

namespace veltro {
namespace {

namespace fs = std::filesystem;

struct LocationCase {
    const char* name;
    bool programWritable;
    const char* perUserBlocker;  // a file where this folder should be, or ""
    bool expectProgramDir;
    bool expectPerUserFolder;  // the per-user folder exists afterwards
    const char* programConfig = "";  // config.ini beside the program; copied once
};

const LocationCase kCases[] = {
    {"WritableProgramFolderKeepsConfigBesideIt", true, "", true, false},
    {"ReadOnlyProgramFolderUsesPerUserFolderCreated", false, "", false, true},
    {"ConfigHomeMissingIsCreated", false, "", false, true},
    {"FileWhereFolderShouldBeIsLeftAlone", false, "veltro-panel", true, false},
    {"ReadOnlyProgramFoldersConfigSeedsThePerUserOne", false, "", false, true, "Pollrate=250\r\n"},
};

TEST(SettingsLocation, ChoosesOneFolderWithoutWritingElsewhere) {
    for (const LocationCase& row : kCases) {
        SCOPED_TRACE(row.name);
        testing::TempDir dir;
        fs::permissions(dir.path(), fs::perms::all);
        const fs::path program = dir.path() / "bin";
        const fs::path configHome = dir.path() / "config";
        fs::create_directory(program);
        if (std::string(row.name) != "ConfigHomeMissingIsCreated") {
            fs::create_directory(configHome);
            fs::permissions(configHome, fs::perms::all);
        }
        if (*row.programConfig != '\0') {
            testing::writeBytes(program / "config.ini", row.programConfig);
        }
        if (*row.perUserBlocker != '\0') {
            testing::writeBytes(configHome / row.perUserBlocker, "x");
        }
        fs::permissions(program, row.programWritable
                                     ? fs::perms::all
                                     : (fs::perms::all & ~fs::perms::owner_write &
                                        ~fs::perms::group_write & ~fs::perms::others_write));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(configHome.string()));
        const QString programDir = QString::fromStdString(program.string());
        const QString expected =
            row.expectProgramDir ? programDir
                                 : QString::fromStdString((configHome / "veltro-panel").string());
        EXPECT_TRUE(testing::runUnprivileged([&] {
            return settingsFolderFor(programDir) == expected &&
                   QFileInfo(expected).isDir() == (row.expectProgramDir || row.expectPerUserFolder);
        }));
        EXPECT_EQ(std::distance(fs::directory_iterator(program), {}), *row.programConfig ? 1 : 0);
        if (*row.programConfig != '\0') {
            EXPECT_EQ(testing::readBytes(configHome / "veltro-panel/config.ini"), row.programConfig);
        }
    }
}

}  // namespace
}  // namespace veltro
