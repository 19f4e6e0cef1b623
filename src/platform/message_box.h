#pragma once

#include <string>

namespace veltro {

// Modal message with an OK button only, titled with the application's title.
// Returns when the operator closes it. Text is UTF-8.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void show(const std::string& text) = 0;
};

}  // namespace veltro
