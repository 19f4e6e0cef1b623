#include "firmware_generation.h"

namespace veltro::sim {

std::optional<Generation> generationByName(const std::string& name) {
    if (name == "older") {
        return Generation::Older;
    }
    if (name == "newer") {
        return Generation::Newer;
    }
    return std::nullopt;
}

const char* generationName(Generation generation) {
    return generation == Generation::Older ? "older" : "newer";
}

int lineSpeedOf(Generation generation) {
    return generation == Generation::Older ? 38400 : 115200;
}

bool understands(Generation generation, const MeterCommand& command) {
    if (command.kind == MeterCommand::Kind::Unknown) {
        return false;
    }
    const bool shortForm = command.text.size() == 1;
    return generation == Generation::Newer || !shortForm;
}

}  // namespace veltro::sim
