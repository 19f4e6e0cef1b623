// The journal when its folder is gone for a while: every record still lands,
// once, in order, and the failure is logged once.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "journal.h"

namespace veltro::tap {
namespace {

TEST(JournalTest, KeepsWhatItCouldNotWriteAndLogsOnce) {
    const auto folder = std::filesystem::temp_directory_path() / ("journal-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::vector<std::string> log;
    Journal journal((folder / "j.csv").string(), "h\r\n", [&](const std::string& line) { log.push_back(line); });
    const struct {
        const char* line;
        bool folderThere;
        const char* file;  // all of it afterwards; nullptr: no file
        std::size_t logged;
    } steps[] = {
        {"a\r\n", false, nullptr, 1},
        {"b\r\n", false, nullptr, 1},
        {"c\r\n", true, "h\r\na\r\nb\r\nc\r\n", 2},
        {"d\r\n", true, "h\r\na\r\nb\r\nc\r\nd\r\n", 2},
    };
    for (const auto& s : steps) {
        if (s.folderThere) {
            std::filesystem::create_directories(folder);
        }
        journal.append(s.line);
        std::ifstream in(folder / "j.csv", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_EQ(in.is_open() ? text.str() : "<none>", s.file ? s.file : "<none>") << s.line;
        EXPECT_EQ(log.size(), s.logged) << s.line;
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace veltro::tap
