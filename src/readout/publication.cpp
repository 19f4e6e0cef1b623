#include "readout/publication.h"

namespace veltro {

void ReadingPublication::publishReading(const std::string& readingText) {
    store_.saveSetting(kRegistryApplication, kRegistrySection, "Reading", readingText);
}

void ReadingPublication::setActive(bool active) {
    store_.saveSetting(kRegistryApplication, kRegistrySection, "Active", active ? "Y" : "N");
}

}  // namespace veltro
