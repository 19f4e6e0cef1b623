#pragma once

#include <optional>
#include <string>

namespace veltro::tap {

// A JSON string; meter bytes are single-byte text, escaped as Latin-1.
std::string jsonString(const std::string& text);

// A flat JSON object built member by member; an empty optional is left out.
class JsonObject {
  public:
    // Fixed decimals with '.', whatever the locale; not-finite left out.
    void number(const char* key, const std::optional<double>& value, int decimals);
    void text(const char* key, const std::optional<std::string>& value);
    void raw(const char* key, const std::string& value);
    std::string done() const { return body_.empty() ? "{}" : body_ + "}"; }

  private:
    std::string body_;
};

}  // namespace veltro::tap
