#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <string>

#include "files/config_limits.h"

namespace veltro {

inline constexpr int kSettingCount = 14;


// The fourteen text slots filled from config.ini by line position. Values
// are the file's bytes (single-byte text).
using SettingValues = std::array<std::string, kSettingCount>;

// Created: there was no file; the default file has been written (if it
// could be). Unreadable: a file is there but could not be read; it is left
// exactly as it is, and nothing should replace it until a later load reads
// it. Loaded: the slots hold the file's values.
enum class LoadOutcome { Created, Unreadable, Loaded };

// Called for each stored value of slots 0..11 (the Label22 captions).
using SlotLabelSink = std::function<void(int slot, const std::string& value)>;

// No readable file: writes the default file (silently, if it can) and
// returns Created with the slots untouched. Otherwise fills slot k from
// line k (value after the first '='; lines without '=' store nothing but
// count; lines past the fourteenth are ignored) and returns Loaded.
// The defaults go only where no file exists: a file that is there but
// cannot be read (locked, no permission, a folder) is left alone and the
// outcome is Created. CR LF, LF and a lone CR all end a line; a leading
// UTF-8 byte-order mark is skipped. Limits against huge files: a value
// longer than kMaxSettingValueBytes stores nothing (its line still counts),
// and only the first kMaxSettingsReadBytes are read (a line that does not
// end within them stores nothing). Whatever the panel writes stays within
// both, so its own file always loads back whole. The temporaries of saves
// killed before they finished are removed first.
LoadOutcome LoadSettings(const std::filesystem::path& file, SettingValues& slots,
                         const SlotLabelSink& labelSink);

// The window's outer frame as config.ini keeps it, in twips.
struct SavedFrame {
    float left = 0;
    float top = 0;
    float height = 0;
};

// The window's state as SaveSettings writes it.
struct SettingsSnapshot {
    float left = 0;       // twips, written "0" when negative
    float top = 0;        // twips, written "0" when negative
    float height = 0;     // twips, written as it is
    std::string pwrMode;  // slot 2, passed through
    bool setupChecked = false;
    bool smallChecked = false;
    bool vectorChecked = false;
    std::string comPort;  // bytes as shown, trailing spaces kept
    int pollrate = 0;
    int range = 0;
    int check1 = 0;
    int onTop = 0;
    int version = 0;
    int hiPwr = 0;
};

// The fourteen "Key=Value" lines, each ending in CR LF.
std::string formatSettings(const SettingsSnapshot& snapshot);
std::string defaultSettingsText();

}  // namespace veltro
