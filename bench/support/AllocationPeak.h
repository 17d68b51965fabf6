#pragma once
/// Counts every allocation of the program that links AllocationPeak.cpp (it replaces the global
/// operator new and delete), so a benchmark can read the memory peak around one call.
namespace qelt::bench {

/// Bytes held now.
long long HeldBytes();
/// Starts a new peak from what is held now, and returns that.
long long RestartPeak();
/// The highest number of bytes held since the last RestartPeak.
long long PeakBytes();

}  // namespace qelt::bench
