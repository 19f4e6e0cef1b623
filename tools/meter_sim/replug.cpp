#include "replug.h"

namespace veltro::sim {

bool ReplugLine::open(std::string& error) {
    current_ = std::make_unique<PseudoTerminal>();
    if (!current_->open(error) || !link_.create(folder_, port_, current_->devicePath(), error)) {
        return false;
    }
    present_ = true;
    return true;
}

bool ReplugLine::vanish(std::string& error) {
    if (!present_) {
        return true;
    }
    auto next = std::make_unique<PseudoTerminal>();
    if (!next->open(error)) {
        return false;
    }
    link_.remove();
    current_ = std::move(next);  // closing the old master hangs up its device
    present_ = false;
    return true;
}

bool ReplugLine::comeBack(std::string& error) {
    if (present_) {
        return true;
    }
    if (!link_.create(folder_, port_, current_->devicePath(), error)) {
        return false;
    }
    present_ = true;
    return true;
}

}  // namespace veltro::sim
