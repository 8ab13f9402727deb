#pragma once

namespace anthora {

// Start-up timings for measuring the way to the first frame. With the environment variable
// ANTHORA_START_TIMES set to the moment the process was started, in milliseconds of the
// monotonic clock, every phase that ends is written to standard error as
//
//   anthora: start PHASE at MS ms
//
// counted from that moment (from the first phase when the value is not a number). The last
// phase, the window's first appearance on the screen, ends the report. Without the variable
// nothing is written.
void EndStartPhase(const char* phase, bool last = false);

}  // namespace anthora
