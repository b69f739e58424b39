// The error text: one process-wide message buffer to which every failure is
// appended, innermost message first. It is shown once, when the program ends
// through Aquarium::Shutdown.
#pragma once

#include <cstddef>

namespace Error {

constexpr std::size_t TEXT_SIZE = 4096;  // bytes, NUL included

// Appends count NUL-terminated strings in order. A string that would make the
// text reach TEXT_SIZE characters is dropped together with the rest of the call.
void Report(int count, ...);

// The text reported so far; empty when nothing was ever reported.
const char* Text();

// Starts a fresh, never-reported text as at process start. For tests and
// tools that run several independent jobs in one process.
void Reset();

}  // namespace Error
