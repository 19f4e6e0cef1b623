#include "replug.h"

namespace veltro::pty {

bool ReplugLine::open(std::string& error) {
    current_ = std::make_unique<PseudoTerminal>(hold_);
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
    auto next = std::make_unique<PseudoTerminal>(hold_);
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

bool ReplugLine::renew(std::string& error) {
    if (!present_) {
        return true;
    }
    auto next = std::make_unique<PseudoTerminal>(hold_);
    if (!next->open(error) || !link_.create(folder_, port_, next->devicePath(), error)) {
        return false;
    }
    current_ = std::move(next);
    return true;
}

}  // namespace veltro::pty
