#include "window/outer_frame.h"

namespace veltro {

float twipsToSave(int pixels, double twipsPerPixel, double offsetTwips,
                  const std::optional<PlacedTwips>& placed) {
    if (placed && placed->pixels == pixels) {
        return placed->twips;
    }
    return static_cast<float>(pixels * twipsPerPixel + offsetTwips);
}

}  // namespace veltro
