#include "line_record.h"

#include <charconv>
#include <filesystem>
#include <fstream>

namespace veltro::record {

namespace {

constexpr char kHex[] = "0123456789abcdef";
// A recording of days at a busy poll rate stays far below this; anything
// bigger is not one of ours.
constexpr std::uintmax_t kLargestRecording = 512ull * 1024 * 1024;

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::string escapeBytes(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 8);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const bool lastSpace = c == ' ' && i + 1 == bytes.size();
        if (c == '\\') {
            out += "\\\\";
        } else if (c >= 0x20 && c < 0x7f && !lastSpace) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0xf];
        }
    }
    return out;
}

std::optional<std::string> unescapeBytes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
            continue;
        }
        if (i + 3 >= text.size() || text[i + 1] != 'x') {
            return std::nullopt;
        }
        const int high = hexValue(text[i + 2]);
        const int low = hexValue(text[i + 3]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        out += static_cast<char>(high * 16 + low);
        i += 3;
    }
    return out;
}

std::string formatChunk(const Chunk& chunk) {
    return std::to_string(chunk.ms) + (chunk.direction == Direction::ToMeter ? " > " : " < ") +
           escapeBytes(chunk.bytes);
}

std::optional<Chunk> parseChunk(std::string_view line) {
    Chunk chunk;
    const char* end = line.data() + line.size();
    auto [ptr, ec] = std::from_chars(line.data(), end, chunk.ms);
    if (ec != std::errc() || ptr == line.data() || chunk.ms < 0) {
        return std::nullopt;
    }
    const std::string_view rest(ptr, static_cast<std::size_t>(end - ptr));
    if (rest.size() < 3 || rest[0] != ' ' || rest[2] != ' ' || (rest[1] != '>' && rest[1] != '<')) {
        return std::nullopt;
    }
    chunk.direction = rest[1] == '>' ? Direction::ToMeter : Direction::FromMeter;
    auto bytes = unescapeBytes(rest.substr(3));
    if (!bytes || bytes->empty()) {
        return std::nullopt;
    }
    chunk.bytes = std::move(*bytes);
    return chunk;
}

bool readRecording(const std::string& path, std::vector<Chunk>& chunks, std::string& error) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) {
        error = "cannot read " + path + ": " + ec.message();
        return false;
    }
    if (size > kLargestRecording) {
        error = path + " is too large for a line recording";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::string line;
    for (long number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        auto chunk = parseChunk(line);
        if (!chunk) {
            error = path + ", line " + std::to_string(number) +
                    ": not \"<ms> <direction> <bytes>\" with > or < and escaped bytes";
            return false;
        }
        chunks.push_back(std::move(*chunk));
    }
    return true;
}

}  // namespace veltro::record
