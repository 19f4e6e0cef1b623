#pragma once

namespace veltro::pty {

// The read end of a pipe that turns readable on SIGINT, SIGTERM or SIGHUP,
// for a poll loop to end on; SIGPIPE is ignored. -1 if no pipe could be made.
int stopSignalPipe();

}  // namespace veltro::pty
