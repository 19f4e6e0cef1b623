#pragma once

#include <QString>
#include <string_view>

namespace veltro {

// The meter's bytes as Latin-1 text for a plain-text control. Control bytes
// would cut the text (NUL) or break a one-line control (CR, LF, TAB), so
// C0 controls and DEL show as their Unicode control pictures (U+2400..) and
// C1 controls (0x80..0x9F) as U+FFFD; every other byte is its Latin-1
// character, one character per byte.
QString meterTextForDisplay(std::string_view bytes);

}  // namespace veltro
