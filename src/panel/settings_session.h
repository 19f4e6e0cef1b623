#pragma once

#include <bitset>
#include <filesystem>
#include <optional>
#include <string>

#include "settings/config_file.h"

namespace veltro {

// Where the panel stands with config.ini. Saves are refused while an
// unreadable file is kept: it still holds the operator's settings.
enum class SessionState {
    NothingLoaded,   // the start-up has not loaded yet
    DefaultsWritten, // there was no file; the default one was written
    UnreadableKept,  // a file is there but could not be read; left alone
    Loaded,          // the slots hold the file's values
};

// config.ini over the panel's life: the fourteen slots, which lines the last
// load found, the save hold of the start-up and the configured port name.
class SettingsSession {
  public:
    explicit SettingsSession(std::filesystem::path file) : file_(std::move(file)) {}

    SessionState state() const { return state_; }
    bool hasFile() const { return !file_.empty(); }
    const std::filesystem::path& file() const { return file_; }

    // LoadSettings; the sink gets the Label22 captions.
    LoadOutcome load(const SlotLabelSink& labels);
    const SettingValues& values() const { return slots_; }
    SettingValues& values() { return slots_; }
    const std::bitset<kSettingCount>& storedSlots() const { return stored_; }

    // Saves asked for between hold() and release(), while the start-up
    // applies the settings, are merged into one: a save in the middle would
    // write settings not yet applied and lose them. release() says whether
    // one is due now.
    void hold();
    bool release();

    // The save itself: nothing while held (remembered) or while an
    // unreadable file is kept; else whether the file was written.
    std::optional<bool> save(SettingsSnapshot snapshot);
    // The window's unloading saves only what a start-up loaded. Before that,
    // and with the defaults just written or an unreadable file kept, the
    // panel holds nothing configured: saving would replace every configured
    // value, the defaults of a first run included.
    bool savesOnClose() const { return state_ == SessionState::Loaded; }

    // The configured port name, saved as ComPort instead of the port box's
    // text until the box shows it or the operator edits or chooses in it.
    void rememberPortName(std::string name) { portName_ = std::move(name); }
    void forgetPortName() { portName_.reset(); }
    const std::string& portNameToSave(const std::string& portBoxText) const {
        return portName_ ? *portName_ : portBoxText;
    }

  private:
    std::filesystem::path file_;
    SessionState state_ = SessionState::NothingLoaded;
    SettingValues slots_{};
    std::bitset<kSettingCount> stored_;
    bool holding_ = false;
    bool heldRequest_ = false;
    std::optional<std::string> portName_;
};

}  // namespace veltro
