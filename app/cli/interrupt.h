#pragma once

namespace pixorale::cli {

inline constexpr int kExitInterrupted = 130;  // SIGINT, as shells report it
inline constexpr int kExitTerminated = 143;   // SIGTERM

// On Ctrl-C or a termination request, removes the temporaries of the files being written
// and ends the program with kExitInterrupted or kExitTerminated. Files already complete
// stay; no name ever shows a partial file.
void RemoveTemporariesOnInterrupt();

}  // namespace pixorale::cli
