#include "settings/config_file.h"

#include <fstream>
#include <string_view>
#include <system_error>

#include "files/whole_file.h"
#include "settings/conversions.h"

namespace veltro {
namespace {

constexpr const char* kKeys[kSettingCount] = {
    "Position-Left", "Position-Top", "PwrMode", "Height", "mnuSetup", "mnuSmall", "mnuVector",
    "ComPort",       "Pollrate",     "Range",   "Check1", "OnTop",    "Version",  "HiPwr"};

constexpr const char* kDefaults[kSettingCount] = {
    "5130", "2955", "0", "5145", "True", "False", "False", "Com01", "100", "3", "0", "0", "1", "0"};

std::string settingsText(const std::array<std::string, kSettingCount>& values) {
    std::string text;
    for (int k = 0; k < kSettingCount; ++k) {
        text += kKeys[k];
        text += '=';
        text += values[k];
        text += "\r\n";
    }
    return text;
}

std::string boolText(bool value) {
    return value ? "True" : "False";
}

// Window coordinates never go out negative: the window reopens on screen.
std::string coordinateText(float twips) {
    return twips > 0 ? shortestText(twips) : "0";
}

// The lines as loading sees them: CR LF, LF and a lone CR all end a line; a
// last line without an end still counts unless the read limit cut it off.
template <typename Visit>
void forEachLine(std::string_view text, bool cutOff, Visit visit) {
    size_t start = 0;
    int count = 0;
    while (start < text.size() && count < kSettingCount) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            if (!cutOff)
                visit(count, text.substr(start));
            return;
        }
        visit(count++, text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
}

std::filesystem::file_type typeOf(const std::filesystem::path& file) {
    std::error_code error;
    return std::filesystem::symlink_status(file, error).type();
}

// A directory, device or pipe in the file's place is never read (a pipe
// could block the start-up) and never replaced.
bool isReadableKind(const std::filesystem::path& file) {
    std::error_code error;
    return std::filesystem::is_regular_file(file, error);
}

// The file's first `limit` bytes; cutOff when there was more, or a read
// error midway left a last line that may be incomplete.
std::string readAtMost(std::ifstream& in, size_t limit, bool& cutOff) {
    constexpr size_t kChunk = 64 * 1024;
    std::string text;
    while (in && text.size() <= limit) {
        const size_t old = text.size();
        text.resize(old + kChunk);
        in.read(text.data() + old, static_cast<std::streamsize>(kChunk));
        text.resize(old + static_cast<size_t>(in.gcount()));
    }
    cutOff = text.size() > limit || in.bad();
    if (text.size() > limit)
        text.resize(limit);
    return text;
}

}  // namespace

std::string defaultSettingsText() {
    std::array<std::string, kSettingCount> values;
    for (int k = 0; k < kSettingCount; ++k) values[k] = kDefaults[k];
    return settingsText(values);
}

std::string formatSettings(const SettingsSnapshot& snapshot) {
    return settingsText({coordinateText(snapshot.left), coordinateText(snapshot.top),
                         snapshot.pwrMode, shortestText(snapshot.height),
                         boolText(snapshot.setupChecked), boolText(snapshot.smallChecked),
                         boolText(snapshot.vectorChecked), snapshot.comPort,
                         std::to_string(snapshot.pollrate), std::to_string(snapshot.range),
                         std::to_string(snapshot.check1), std::to_string(snapshot.onTop),
                         std::to_string(snapshot.version), std::to_string(snapshot.hiPwr)});
}

LoadOutcome LoadSettings(const std::filesystem::path& file, SettingValues& slots,
                         const SlotLabelSink& labelSink) {
    removeLeftTemporaries(file);
    std::ifstream in;
    if (isReadableKind(file))
        in.open(file, std::ios::binary);
    if (!in.is_open()) {
        // Only a file that is really absent gets the defaults: one that is
        // merely locked or unreadable still holds the operator's values.
        if (typeOf(file) != std::filesystem::file_type::not_found) {
            return LoadOutcome::Unreadable;
        }
        replaceWholeFile(file, defaultSettingsText());
        return LoadOutcome::Created;
    }
    bool cutOff = false;
    const std::string text = readAtMost(in, kMaxSettingsReadBytes, cutOff);

    std::string_view content = text;
    if (content.starts_with("\xEF\xBB\xBF"))
        content.remove_prefix(3);
    forEachLine(content, cutOff, [&](int k, std::string_view line) {
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos || line.size() - equals - 1 > kMaxSettingValueBytes)
            return;
        slots[k] = std::string(line.substr(equals + 1));
        if (k <= 11 && labelSink)
            labelSink(k, slots[k]);
    });
    return LoadOutcome::Loaded;
}

}  // namespace veltro
