#include "settings/config_file.h"

#include <gtest/gtest.h>

#include <map>

#include "files/whole_file.h"
#include "settings/conversions.h"
#include "temp_dir.h"
#include "unprivileged.h"

namespace veltro {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

const char* const kDefaultFile =
    "Position-Left=5130\r\nPosition-Top=2955\r\nPwrMode=0\r\nHeight=5145\r\n"
    "mnuSetup=True\r\nmnuSmall=False\r\nmnuVector=False\r\nComPort=Com01\r\n"
    "Pollrate=100\r\nRange=3\r\nCheck1=0\r\nOnTop=0\r\nVersion=1\r\nHiPwr=0\r\n";

// The default file with its line ends replaced.
std::string defaultWithLineEnd(const std::string& end) {
    std::string text = kDefaultFile;
    std::string out;
    for (size_t at = 0, next; (next = text.find("\r\n", at)) != std::string::npos; at = next + 2) {
        out += text.substr(at, next - at) + end;
    }
    return out;
}

SettingValues defaultSlots() {
    return {"5130",  "2955", "0", "5145", "True", "False", "False",
            "Com01", "100",  "3", "0",    "0",    "1",     "0"};
}

SettingValues marked(const std::string& mark) {
    SettingValues slots;
    for (int k = 0; k < kSettingCount; ++k) slots[k] = mark + std::to_string(k);
    return slots;
}

struct Loaded {
    LoadOutcome outcome;
    SettingValues slots;
    std::map<int, std::string> labels;
};

Loaded load(const std::filesystem::path& file, SettingValues slots = marked("old")) {
    Loaded result{LoadOutcome::Created, std::move(slots), {}};
    result.outcome = LoadSettings(file, result.slots,
                                  [&](int slot, const std::string& v) { result.labels[slot] = v; });
    return result;
}

TEST(LoadSettings, MissingFileGetsTheDefaultFileAndLoadsNothing) {
    TempDir dir;
    const auto file = dir.file("config.ini");
    const Loaded result = load(file);
    EXPECT_EQ(result.outcome, LoadOutcome::Created);
    EXPECT_EQ(result.slots, marked("old"));
    EXPECT_TRUE(result.labels.empty());
    EXPECT_EQ(readBytes(file), kDefaultFile);
    EXPECT_EQ(defaultSettingsText(), kDefaultFile);
}

TEST(LoadSettings, UncreatableFileIsStillCreatedOutcomeSilently) {
    TempDir dir;
    writeBytes(dir.file("plain"), "x");
    EXPECT_EQ(load(dir.file("plain") / "config.ini").outcome, LoadOutcome::Created);
}

TEST(LoadSettings, ExistingButUnreadableFileIsNeverOverwritten) {
    TempDir dir;
    const auto folderInPlace = dir.file("config.ini");
    std::filesystem::create_directory(folderInPlace);
    EXPECT_EQ(load(folderInPlace).outcome, LoadOutcome::Unreadable);
    EXPECT_TRUE(std::filesystem::is_directory(folderInPlace));

    const auto locked = dir.file("locked.ini");
    writeBytes(locked, "Position-Left=1\r\n");
    using std::filesystem::perms;
    std::filesystem::permissions(dir.path(), perms::owner_all | perms::others_read |
                                                 perms::others_write | perms::others_exec);
    std::filesystem::permissions(locked, perms::none);
    EXPECT_TRUE(
        testing::runUnprivileged([&] { return load(locked).outcome == LoadOutcome::Unreadable; }));
    std::filesystem::permissions(locked, perms::owner_read);
    EXPECT_EQ(readBytes(locked), "Position-Left=1\r\n");
}

TEST(LoadSettings, LabelsGetSlotsZeroToElevenOnly) {
    TempDir dir;
    writeBytes(dir.file("config.ini"), kDefaultFile);
    const Loaded result = load(dir.file("config.ini"));
    EXPECT_EQ(result.outcome, LoadOutcome::Loaded);
    EXPECT_EQ(result.slots, defaultSlots());
    ASSERT_EQ(result.labels.size(), 12u);
    for (int k = 0; k < 12; ++k) EXPECT_EQ(result.labels.at(k), defaultSlots()[k]);
}

// Each file is loaded over slots holding "old<k>"; the expectation lists the
// slots that change.
TEST(LoadSettings, MatchesByLinePositionOnly) {
    const std::string fourteen = kDefaultFile;
    const struct {
        const char* name;
        std::string file;
        std::map<int, std::string> changed;
    } cases[] = {
        {"second equals stays in the value",
         "a=1\r\nb=2\r\nc=3\r\nd=4\r\ne=5\r\nf=6\r\ng=7\r\nh=8\r\nPollrate=100=5\r\n",
         {{0, "1"},
          {1, "2"},
          {2, "3"},
          {3, "4"},
          {4, "5"},
          {5, "6"},
          {6, "7"},
          {7, "8"},
          {8, "100=5"}}},
        {"extra leading line shifts every slot",
         "Pollrate=200\r\n" + fourteen,
         {{0, "200"},
          {1, "5130"},
          {2, "2955"},
          {3, "0"},
          {4, "5145"},
          {5, "True"},
          {6, "False"},
          {7, "False"},
          {8, "Com01"},
          {9, "100"},
          {10, "3"},
          {11, "0"},
          {12, "0"},
          {13, "1"}}},
        {"fifteenth line ignored",
         fourteen + "Extra=9\r\n",
         {{0, "5130"},
          {1, "2955"},
          {2, "0"},
          {3, "5145"},
          {4, "True"},
          {5, "False"},
          {6, "False"},
          {7, "Com01"},
          {8, "100"},
          {9, "3"},
          {10, "0"},
          {11, "0"},
          {12, "1"},
          {13, "0"}}},
        {"five lines leave the rest",
         "a=1\r\nb=2\r\nc=3\r\nd=4\r\ne=5\r\n",
         {{0, "1"}, {1, "2"}, {2, "3"}, {3, "4"}, {4, "5"}}},
        {"line without equals still counts",
         "a=0\r\na=1\r\na=2\r\na=3\r\na=4\r\na=5\r\na=6\r\na=7\r\na=8\r\nRange\r\nCheck1=1\r\n",
         {{0, "0"},
          {1, "1"},
          {2, "2"},
          {3, "3"},
          {4, "4"},
          {5, "5"},
          {6, "6"},
          {7, "7"},
          {8, "8"},
          {10, "1"}}},
        {"empty values and keys", "=\r\nKey=\r\n\r\n=x\r\n", {{0, ""}, {1, ""}, {3, "x"}}},
        {"LF line ends", "a=1\nb=2\n", {{0, "1"}, {1, "2"}}},
        {"lone CR line ends", "a=1\rb=2\r", {{0, "1"}, {1, "2"}}},
        {"mixed ends, CR CR LF is two lines", "a=1\r\r\nb=2\nc=3", {{0, "1"}, {2, "2"}, {3, "3"}}},
        {"byte-order mark before the first key", "\xEF\xBB\xBFPosition-Left=77\r\n", {{0, "77"}}},
        {"bytes above 127 kept as bytes",
         std::string("a=\xE9t\xE9\xFF\r\n\x80=\x81\x00z\r\n", 15),
         {{0, "\xE9t\xE9\xFF"}, {1, std::string("\x81\x00z", 3)}}},
        {"empty file", "", {}},
        {"last line cut off by the read limit",
         "a=" + std::string(kMaxSettingValueBytes, 'v') + "\r\nb=" +
             std::string(kMaxSettingValueBytes, 'w') + "\r\nc=" + std::string(8192, 'x'),
         {{0, std::string(kMaxSettingValueBytes, 'v')},
          {1, std::string(kMaxSettingValueBytes, 'w')}}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        writeBytes(dir.file("config.ini"), c.file);
        const Loaded result = load(dir.file("config.ini"));
        SettingValues expected = marked("old");
        for (const auto& [slot, value] : c.changed) expected[slot] = value;
        EXPECT_EQ(result.outcome, LoadOutcome::Loaded) << c.name;
        EXPECT_EQ(result.slots, expected) << c.name;
    }
}

TEST(LoadSettings, HandEditedLineEndsLoadLikeCrLf) {
    for (const char* end : {"\n", "\r"}) {
        TempDir dir;
        writeBytes(dir.file("config.ini"), defaultWithLineEnd(end));
        EXPECT_EQ(load(dir.file("config.ini")).slots, defaultSlots());
    }
}

TEST(LoadSettings, HugeFileAndVeryLongLinesStayBounded) {
    TempDir dir;
    const auto file = dir.file("config.ini");
    // Fourteen good lines, then 8 MiB of junk: only the lines matter.
    writeBytes(file, kDefaultFile + std::string(8 << 20, 'x'));
    EXPECT_EQ(load(file).slots, defaultSlots());

    // A first line longer than the read limit is cut off: it stores nothing.
    writeBytes(file, "Position-Left=" + std::string(4 << 20, '9') + "\r\nTop=1\r\n");
    Loaded result = load(file);
    EXPECT_EQ(result.outcome, LoadOutcome::Loaded);
    EXPECT_EQ(result.slots, marked("old"));

    // A long value that fits is kept whole.
    const std::string longValue(100000, 'v');
    writeBytes(file, "a=" + longValue + "\r\nb=2");
    result = load(file);
    EXPECT_EQ(result.slots[0], longValue);
    EXPECT_EQ(result.slots[1], "2");
}

SettingsSnapshot sampleSnapshot() {
    SettingsSnapshot s;
    s.left = 5130;
    s.top = 2955;
    s.height = 5145;
    s.pwrMode = "0";
    s.setupChecked = true;
    s.comPort = "Com01";
    s.pollrate = 100;
    s.range = 3;
    s.version = 1;
    return s;
}

TEST(FormatSettings, DefaultsWriteTheDefaultFile) {
    EXPECT_EQ(formatSettings(sampleSnapshot()), kDefaultFile);
}

TEST(FormatSettings, ValueTexts) {
    SettingsSnapshot s = sampleSnapshot();
    s.left = -120;
    s.top = -0.5f;
    s.height = -30;
    s.pwrMode = "";
    s.smallChecked = true;
    s.vectorChecked = true;
    s.setupChecked = false;
    s.comPort = "Com09 ";
    s.pollrate = 5000;
    s.range = 7;
    s.check1 = 1;
    s.onTop = 1;
    s.version = 2;
    s.hiPwr = 1;
    EXPECT_EQ(formatSettings(s),
              "Position-Left=0\r\nPosition-Top=0\r\nPwrMode=\r\nHeight=-30\r\n"
              "mnuSetup=False\r\nmnuSmall=True\r\nmnuVector=True\r\nComPort=Com09 \r\n"
              "Pollrate=5000\r\nRange=7\r\nCheck1=1\r\nOnTop=1\r\nVersion=2\r\nHiPwr=1\r\n");
}

TEST(FormatSettings, RoundTripsThroughTheFile) {
    TempDir dir;
    SettingsSnapshot s = sampleSnapshot();
    s.left = 1234.5f;
    s.top = 0.1f;
    s.height = 4000.25f;
    s.pwrMode = "keep=\xE9";
    s.comPort = "Com\xB5 ";
    ASSERT_TRUE(replaceWholeFile(dir.file("config.ini"), formatSettings(s)));
    const Loaded result = load(dir.file("config.ini"));
    EXPECT_EQ(toSingle(result.slots[0]), 1234.5f);
    EXPECT_EQ(toSingle(result.slots[1]), 0.1f);
    EXPECT_EQ(toSingle(result.slots[3]), 4000.25f);
    EXPECT_EQ(result.slots[2], "keep=\xE9");
    EXPECT_EQ(result.slots[7], "Com\xB5 ");
    EXPECT_EQ(result.slots[8], "100");
}

}  // namespace
}  // namespace veltro
