#include "station_watch.h"

#include <algorithm>

#include "json_object.h"

namespace veltro::tap {

namespace {

constexpr std::size_t kLongestDetail = 512;

// A payload from the network as one printable log line.
std::string printable(const std::string& text) {
    std::string out = text.substr(0, 40);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) {
            c = '?';
        }
    }
    return out;
}

std::optional<double> highest(std::optional<double> a, std::optional<double> b) {
    return a && b ? std::max(*a, *b) : a ? a : b;
}

std::optional<double> lowest(std::optional<double> a, std::optional<double> b) {
    return a && b ? std::min(*a, *b) : a ? a : b;
}

}  // namespace

void StationWatch::Span::add(const Span& other) {
    frames += other.frames;
    sumW += other.sumW;
    alarm = alarm || other.alarm;
    trip = trip || other.trip;
    highestSwr = highest(highestSwr, other.highestSwr);
    lowestReturnLossDb = lowest(lowestReturnLossDb, other.lowestReturnLossDb);
}

std::optional<double> StationWatch::onFrame(const WatchFrame& frame, WatchOutput& out) {
    onTime(frame.at, out);
    const StationValues& v = frame.values;
    if (open_ && frame.at >= open_->lastTxAt + settings_.txHang) {
        close(TransmissionEnd::Normal, out);  // silent longer than the hang, not lost
    }
    if (lastFrameAt_ && frame.at >= *lastFrameAt_ + settings_.linkTimeout) {
        overRun_ = 0;  // frames on both sides of a lost link are not in a row
    }
    lastFrameAt_ = frame.at;
    const bool tripped = updateTrip(frame, out);

    Span one;
    one.frames = 1;
    one.sumW = v.forwardW;
    one.alarm = v.alarm.value_or(false);
    one.trip = tripped;
    if (v.tx) {
        // An SWR without carrier is noise: only frames with power count.
        one.highestSwr = v.swr;
        one.lowestReturnLossDb = v.returnLossDb;
        if (!open_) {
            open_.emplace();
            open_->start = frame.wall;
            open_->peak = v;
        }
        open_->through.add(open_->after);
        open_->through.add(one);
        open_->after = {};
        open_->lastTxAt = frame.at;
        open_->lastTxWall = frame.wall;
        if (v.forwardW > open_->peak.forwardW) {
            open_->peak = v;
        }
    } else if (open_) {
        open_->after.add(one);
    }
    return peak(frame);
}

void StationWatch::onTime(Clock::time_point now, WatchOutput& out) {
    if (!open_) {
        return;
    }
    const auto lost = *lastFrameAt_ + settings_.linkTimeout;
    const auto quiet = open_->after.frames > 0 ? open_->lastTxAt + settings_.txHang : Clock::time_point::max();
    if (now >= std::min(lost, quiet)) {
        close(quiet <= lost ? TransmissionEnd::Normal : TransmissionEnd::LinkLost, out);
    }
}

Clock::time_point StationWatch::nextDue() const {
    if (!open_) {
        return Clock::time_point::max();
    }
    const auto lost = *lastFrameAt_ + settings_.linkTimeout;
    return open_->after.frames > 0 ? std::min(lost, open_->lastTxAt + settings_.txHang) : lost;
}

void StationWatch::onTripCommand(const std::string& payload, bool retained, WatchOutput& out) {
    if (retained || payload != "RESET") {
        if (!commandNoted_) {
            commandNoted_ = true;
            out.notes.push_back(retained ? "a retained message on trip/set ignored (only a live RESET counts)"
                                         : "trip/set takes only RESET; ignored \"" +
                                               printable(payload) + "\" (logged once)");
        }
        return;
    }
    overRun_ = 0;
    if (trip_ != Trip::Off) {
        setTrip(Trip::Off, "{}", out);
    }
}

void StationWatch::readBack(const std::string& subtopic, const std::string& payload) {
    if (subtopic == "trip" && trip_ == Trip::Unknown && (payload == "ON" || payload == "OFF")) {
        trip_ = payload == "ON" ? Trip::On : Trip::Off;
        tripFromBroker_ = true;
    } else if (subtopic == "trip/detail" && (trip_ == Trip::Unknown || tripFromBroker_) &&
               payload.size() <= kLongestDetail && payload.starts_with('{')) {
        detail_ = payload;
    }
}

void StationWatch::readBackDone(WatchOutput& out) {
    if (trip_ == Trip::Unknown && settings_.tripSwr > 0) {
        setTrip(Trip::Off, "", out);
    }
}

void StationWatch::everything(WatchOutput& out) {
    if (trip_ != Trip::Unknown) {
        out.messages.push_back({"trip", trip_ == Trip::On ? "ON" : "OFF"});
        if (!detail_.empty()) {
            out.messages.push_back({"trip/detail", detail_});
        }
    }
}

void StationWatch::finish(WatchOutput& out) {
    if (open_) {
        close(TransmissionEnd::TapStopped, out);
    }
}

bool StationWatch::updateTrip(const WatchFrame& frame, WatchOutput& out) {
    const StationValues& v = frame.values;
    const bool over = settings_.tripSwr > 0 && v.swr && *v.swr >= settings_.tripSwr &&
                      v.forwardW >= settings_.tripMinW;
    overRun_ = over ? overRun_ + 1 : 0;
    if (overRun_ < 2 || trip_ == Trip::On) {
        return false;
    }
    JsonObject detail;
    detail.text("at", isoUtc(frame.wall));
    detail.number("swr", v.swr, 2);
    detail.number("forward_w", v.forwardW, 2);
    setTrip(Trip::On, detail.done(), out);
    return true;
}

void StationWatch::setTrip(Trip trip, std::string detail, WatchOutput& out) {
    trip_ = trip;
    tripFromBroker_ = false;
    out.messages.push_back({"trip", trip == Trip::On ? "ON" : "OFF"});
    if (!detail.empty()) {
        detail_ = std::move(detail);
        out.messages.push_back({"trip/detail", detail_});
    }
}

void StationWatch::close(TransmissionEnd end, WatchOutput& out) {
    const Open& o = *open_;
    Transmission t;
    t.start = o.start;
    t.end = o.lastTxWall;
    t.peakForwardW = o.peak.forwardW;
    t.meanForwardW = o.through.sumW / o.through.frames;
    t.highestSwr = o.through.highestSwr;
    t.lowestReturnLossDb = o.through.lowestReturnLossDb;
    t.alarmSeen = o.through.alarm;
    t.tripSeen = o.through.trip;
    t.callsign = o.peak.callsign;
    t.range = o.peak.range;
    t.mode = o.peak.mode;
    t.frames = o.through.frames;
    t.ended = end;
    out.ended.push_back(std::move(t));
    open_.reset();
}

std::optional<double> StationWatch::peak(const WatchFrame& frame) {
    if (settings_.peakHold.count() <= 0) {
        return std::nullopt;
    }
    // Only a falling run is kept: a frame below a later one can never be the peak.
    while (!window_.empty() && window_.front().first <= frame.at - settings_.peakHold) {
        window_.pop_front();
    }
    while (!window_.empty() && window_.back().second <= frame.values.forwardW) {
        window_.pop_back();
    }
    window_.emplace_back(frame.at, frame.values.forwardW);
    return window_.front().second;
}

}  // namespace veltro::tap
