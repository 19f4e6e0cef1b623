#pragma once

#include <optional>

#include "settings/config_file.h"

namespace veltro {

// Stored heights are outer heights of a window whose frame, title bar and
// menu bar take this many twips. The client area below the menu bar is the
// rest, so each view shows the same bands whatever frame the desktop draws,
// however tall the menu bar and at any scale.
inline constexpr double kStoredNonClientTwips = 795;

// A stored twips value and the pixel it was placed at. While the window
// still stands at that pixel a save writes the stored value back, so values
// that fall between pixels never creep from one run to the next.
struct PlacedTwips {
    float twips = 0;
    int pixels = 0;
};

// Twips to save for a coordinate or size now at `pixels`; offsetTwips is
// added to what the pixels measure (the non-client part of a height).
float twipsToSave(int pixels, double twipsPerPixel, double offsetTwips,
                  const std::optional<PlacedTwips>& placed);

}  // namespace veltro
