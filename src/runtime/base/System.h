#pragma once

#include <string>

namespace anthora {

class Clock;

// What the runtime knows of the machine it draws on. The program sets both at start from
// its platform; until then the display has 32 bits per pixel and the clock is the system's.

// Bits per pixel of the display, times its planes.
int DisplayBitsPerPixel();
void SetDisplayBitsPerPixel(int bitsPerPixel);

const Clock& SystemClock();
// The clock must outlive its use; nullptr restores the system's own.
void SetSystemClock(const Clock* clock);

// The path of the running program's own file; empty when the system does not say.
std::string ProgramPath();

// Why a program in the folder may not be what was installed there, or empty when it may (or
// when the folder is not there): the folder, or one above it up to the first that also holds
// `programFolder`, belongs to another user than root and this one, or others can write in it
// (a group other than the user's own, or anyone).
std::string UntrustedFolder(const std::string& folder, const std::string& programFolder);

}  // namespace anthora
