#include "command_parser.h"

namespace veltro::sim {

namespace {

constexpr std::size_t kCallsignCommandLength = 9;  // ";C" + 6 + "?"

MeterCommand::Kind kindOf(char letter) {
    switch (letter) {
        case 'P':
            return MeterCommand::Kind::Poll;
        case 'A':
            return MeterCommand::Kind::Alarm;
        case 'F':
            return MeterCommand::Kind::PowerMode;
        default:
            return MeterCommand::Kind::Unknown;
    }
}

void flushUnknown(std::vector<MeterCommand>& out, std::string& unknown) {
    if (!unknown.empty()) {
        out.push_back({MeterCommand::Kind::Unknown, unknown, {}});
        unknown.clear();
    }
}

}  // namespace

const char* describe(MeterCommand::Kind kind) {
    switch (kind) {
        case MeterCommand::Kind::Poll:
            return "poll";
        case MeterCommand::Kind::Alarm:
            return "alarm";
        case MeterCommand::Kind::PowerMode:
            return "power mode";
        case MeterCommand::Kind::Callsign:
            return "call sign";
        case MeterCommand::Kind::Unknown:
            break;
    }
    return "unknown";
}

std::vector<MeterCommand> CommandParser::feed(std::string_view bytes) {
    buffer_.append(bytes);
    std::vector<MeterCommand> out;
    std::string unknown;
    while (!buffer_.empty() && takeOne(out, unknown)) {
    }
    flushUnknown(out, unknown);
    return out;
}

// Takes one command or one stray byte off the front of the buffer; false when
// a long command needs more bytes.
bool CommandParser::takeOne(std::vector<MeterCommand>& out, std::string& unknown) {
    const char first = buffer_[0];
    if (first != ';') {
        const auto kind = kindOf(first);
        if (kind == MeterCommand::Kind::Unknown) {
            unknown += first;
        } else {
            flushUnknown(out, unknown);
            out.push_back({kind, std::string(1, first), {}});
        }
        buffer_.erase(0, 1);
        return true;
    }
    if (buffer_.size() < 2) {
        return false;
    }
    const char letter = buffer_[1];
    std::size_t length = 3;
    MeterCommand::Kind kind = kindOf(letter);
    if (letter == 'C') {
        length = kCallsignCommandLength;
        kind = MeterCommand::Kind::Callsign;
    }
    if (kind != MeterCommand::Kind::Unknown && buffer_.size() < length) {
        return false;
    }
    if (kind == MeterCommand::Kind::Unknown || buffer_[length - 1] != '?') {
        // Not a command after all: drop the ';' and look again from the next byte.
        unknown += first;
        buffer_.erase(0, 1);
        return true;
    }
    flushUnknown(out, unknown);
    MeterCommand command{kind, buffer_.substr(0, length), {}};
    if (kind == MeterCommand::Kind::Callsign) {
        command.callsign = buffer_.substr(2, 6);
    }
    out.push_back(std::move(command));
    buffer_.erase(0, length);
    return true;
}

}  // namespace veltro::sim
