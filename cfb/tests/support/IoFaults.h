// Test-only faults and counts of the compound-file layer's file access, through its hooks. Linked
// into the tests and their probe programs only.
#pragma once

#include <cstdint>

namespace cfb::detail {

// After bytesBeforeFault more bytes have been written by any FileIo, the next write fails with
// WriteFault, or, when endProcess is set, writes part of its bytes and ends the process at once
// (exit code 3), as a crash in the middle of writing would. A negative count disarms it.
void PlanWriteFault(std::int64_t bytesBeforeFault, bool endProcess);

// The bytes read from files by any FileIo since the process started.
std::uint64_t TotalBytesRead();

} // namespace cfb::detail
