#include "panel/settings_session.h"

#include <utility>

#include "files/whole_file.h"

namespace veltro {

LoadOutcome SettingsSession::load(const SlotLabelSink& labels) {
    stored_.reset();
    const LoadOutcome outcome = LoadSettings(file_, slots_, [&](int slot, const std::string& value) {
        stored_.set(static_cast<std::size_t>(slot));
        if (labels) {
            labels(slot, value);
        }
    });
    switch (outcome) {
        case LoadOutcome::Created:
            state_ = SessionState::DefaultsWritten;
            break;
        case LoadOutcome::Unreadable:
            state_ = SessionState::UnreadableKept;
            break;
        case LoadOutcome::Loaded:
            state_ = SessionState::Loaded;
            break;
    }
    return outcome;
}

void SettingsSession::hold() {
    holding_ = true;
    heldRequest_ = false;
}

bool SettingsSession::release() {
    holding_ = false;
    return std::exchange(heldRequest_, false);
}

std::optional<bool> SettingsSession::save(SettingsSnapshot snapshot) {
    if (holding_) {
        heldRequest_ = true;
        return std::nullopt;
    }
    if (file_.empty() || state_ == SessionState::UnreadableKept) {
        return std::nullopt;
    }
    snapshot.comPort = portNameToSave(snapshot.comPort);
    // A failed write leaves the old file whole; the panel carries on.
    return replaceWholeFile(file_, formatSettings(snapshot));
}

}  // namespace veltro
