#pragma once

#include <optional>
#include <string>

#include "firmware_generation.h"

namespace veltro::sim {

// How the simulated meter misbehaves when it answers a poll.
enum class Fault {
    None,        // one status frame per poll
    Silent,      // no answer
    Garbage,     // junk bytes instead of a frame
    Split,       // the frame in two writes with a gap; busy (deaf) meanwhile
    TrailingCr,  // the frame followed by a carriage return
    Double,      // two frames for one poll
    Late,        // the frame after a delay
};

std::optional<Fault> faultByName(const std::string& name);
const char* faultName(Fault fault);

struct SimOptions {
    int port = 1;
    std::string folder;  // empty: the folder of the executable
    bool steady = false;
    Fault fault = Fault::None;
    int gapMs = 500;
    int delayMs = 500;
    int vanishAfterMs = -1;  // once, this long after the start; -1 never
    int vanishForMs = 2000;
    // The line: the meter's speed and dialect, and its turnaround.
    Generation generation = Generation::Newer;
    int turnaroundMs = 2;
    std::string replayFile;  // answer polls from a line recording
    bool help = false;
};

// False with a message for arguments it does not understand.
bool parseOptions(int argc, char** argv, SimOptions& options, std::string& error);
std::string usageText();

}  // namespace veltro::sim
