#pragma once

namespace veltro {

// "--help" as the only argument: prints where the panel keeps its files and
// returns true (the program then ends). The panel takes no other options.
bool printUsageIfAsked(int argc, char** argv);

}  // namespace veltro
