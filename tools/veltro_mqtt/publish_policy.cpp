#include "publish_policy.h"

#include <utility>

namespace veltro::tap {

namespace {

const char* onOff(bool on) {
    return on ? "ON" : "OFF";
}
const char* onlineOffline(bool online) {
    return online ? "online" : "offline";
}

}  // namespace

void PublishPolicy::onFrame(Clock::time_point now, const StationValues& values,
                            std::vector<Message>& out) {
    lastAccepted_ = now;
    if (!link_) {
        link_ = true;
        out.push_back({"link", "online"});
    }
    if (tx_ != values.tx) {
        tx_ = values.tx;
        out.push_back({"tx", onOff(values.tx)});
    }
    if (values.alarm && alarm_ != values.alarm) {
        alarm_ = values.alarm;
        out.push_back({"alarm", onOff(*values.alarm)});
    }
    latest_ = values;
    if (!published_ || changedBeyondThresholds(*published_, values)) {
        considerState(std::max(now, lastState_ + timing_.stateMinInterval));
    } else if (stateJson(*published_) != stateJson(values)) {
        considerState(lastState_ + timing_.heldBackFlush);
    }
    onTime(now, out);
}

void PublishPolicy::onTime(Clock::time_point now, std::vector<Message>& out) {
    if (link_ && now >= lastAccepted_ + timing_.linkTimeout) {
        link_ = false;
        out.push_back({"link", "offline"});
        for (auto [subtopic, value] : {std::pair{"tx", &tx_}, std::pair{"alarm", &alarm_}}) {
            if (value->value_or(false)) {
                *value = false;
                out.push_back({subtopic, onOff(false)});
            }
        }
        if (stateDue_) {
            stateDue_ = now;  // the last held-back value before the silence
        }
    }
    if (stateDue_ && now >= *stateDue_) {
        sendState(now, out);
    }
    if (now >= nextHeartbeat_) {
        everything(now, out);
    }
}

void PublishPolicy::everything(Clock::time_point now, std::vector<Message>& out) {
    out.push_back({"status", "online"});
    out.push_back({"link", onlineOffline(link_)});
    if (latest_) {
        sendState(now, out);
    }
    if (tx_) {
        out.push_back({"tx", onOff(*tx_)});
    }
    if (alarm_) {
        out.push_back({"alarm", onOff(*alarm_)});
    }
    nextHeartbeat_ = now + timing_.heartbeat;
}

Clock::time_point PublishPolicy::nextDue() const {
    Clock::time_point due = nextHeartbeat_;
    if (stateDue_) {
        due = std::min(due, *stateDue_);
    }
    if (link_) {
        due = std::min(due, lastAccepted_ + timing_.linkTimeout);
    }
    return due;
}

void PublishPolicy::sendState(Clock::time_point now, std::vector<Message>& out) {
    // Frequent and superseded by the next one: not worth a broker's ack.
    out.push_back({"state", stateJson(*latest_), 0});
    published_ = latest_;
    lastState_ = now;
    stateDue_.reset();
}

void PublishPolicy::considerState(Clock::time_point due) {
    if (!stateDue_ || due < *stateDue_) {
        stateDue_ = due;
    }
}

}  // namespace veltro::tap
