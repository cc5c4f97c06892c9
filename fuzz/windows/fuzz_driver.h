// What a target run by the Windows fuzzing engine may call.
#pragma once

namespace fuzz {

// Stops the run with a message; the input that got here is written as a crash artifact.
[[noreturn]] void Fail(const char* what);

}  // namespace fuzz
