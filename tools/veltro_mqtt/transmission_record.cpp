#include "transmission_record.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "json_object.h"
#include "readout/number_format.h"

namespace veltro::tap {

namespace {

const char* endName(TransmissionEnd end) {
    switch (end) {
        case TransmissionEnd::LinkLost:
            return "link lost";
        case TransmissionEnd::TapStopped:
            return "tap stopped";
        case TransmissionEnd::Normal:
            break;
    }
    return "normal";
}

double seconds(WallClock::duration d) {
    return std::chrono::duration<double>(d).count();
}

std::string fixed(const std::optional<double>& value, int decimals) {
    return value && std::isfinite(*value) ? formatFixed(*value, decimals, true) : std::string();
}

std::string latin1ToUtf8(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xc0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3f));
        }
    }
    return out;
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

}  // namespace

std::string isoUtc(WallClock::time_point at) {
    const auto ms = std::chrono::floor<std::chrono::milliseconds>(at.time_since_epoch()).count();
    const std::time_t whole = static_cast<std::time_t>(std::floor(ms / 1000.0));
    std::tm utc{};
    gmtime_r(&whole, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<int>(((ms % 1000) + 1000) % 1000));
    return text;
}

std::string transmissionJson(const Transmission& t) {
    JsonObject json;
    json.text("start", isoUtc(t.start));
    json.text("end", isoUtc(t.end));
    json.number("duration_s", seconds(t.end - t.start), 3);
    json.number("peak_forward_w", t.peakForwardW, 2);
    json.number("mean_forward_w", t.meanForwardW, 2);
    json.number("max_swr", t.highestSwr, 2);
    json.number("min_return_loss_db", t.lowestReturnLossDb, 1);
    json.raw("alarm", t.alarmSeen ? "true" : "false");
    json.raw("trip", t.tripSeen ? "true" : "false");
    json.text("callsign", t.callsign);
    if (t.range) {
        json.raw("range", std::to_string(*t.range));
    }
    json.text("mode", t.mode);
    json.raw("frames", std::to_string(t.frames));
    json.text("ended", std::string(endName(t.ended)));
    return json.done();
}

std::string journalHeader() {
    return "start,end,duration_s,peak_forward_w,mean_forward_w,max_swr,min_return_loss_db,alarm,trip,"
           "callsign,range,mode,frames,ended\r\n";
}

std::string journalLine(const Transmission& t) {
    const std::string fields[] = {
        isoUtc(t.start),
        isoUtc(t.end),
        fixed(seconds(t.end - t.start), 3),
        fixed(t.peakForwardW, 2),
        fixed(t.meanForwardW, 2),
        fixed(t.highestSwr, 2),
        fixed(t.lowestReturnLossDb, 1),
        t.alarmSeen ? "true" : "false",
        t.tripSeen ? "true" : "false",
        latin1ToUtf8(t.callsign),
        t.range ? std::to_string(*t.range) : std::string(),
        latin1ToUtf8(t.mode.value_or("")),
        std::to_string(t.frames),
        endName(t.ended),
    };
    std::string line;
    for (const auto& field : fields) {
        line += csvField(field) + ",";
    }
    line.back() = '\r';
    return line + "\n";
}

}  // namespace veltro::tap
