#pragma once

namespace anthora {

class Platform;

// What the program does before its main window exists: the display's depth and the clock
// for the runtime, the JPEG picture kinds, the classes of the window description.
void InitializeProgram(Platform& platform);
// What it does after the main window has gone.
void FinalizeProgram();

}  // namespace anthora
