#pragma once

namespace mendo {

// Marks of the start-up's steps on stderr, for measuring where the time
// until the hotkeys are held goes: with MENDO_STARTUP_TRACE set, each mark
// writes "mendo start-up: <step> <ns>", the time on the system's monotonic
// clock, which a program that launched mendo compares with its own launch
// time. Without the variable a mark costs one check.
void startupMark(const char* step);
// Whether the marks are written, for marks that need more than one call.
bool startupTracing();

}  // namespace mendo
