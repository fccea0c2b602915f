// The seam between the program and the operating system.
//
// Every device, volume, Windows-directory and Task Scheduler call goes
// through the functions below (one per entry of SystemCallList.h). They pass
// to the installed table of system calls: the real system by default, or the
// simulated drive bay (sim/) or a test's own table once installed. Without an
// installed table, the native Linux build has no devices at all: every call
// fails.
#pragma once

#include "platform/PlatformTypes.h"
#include "platform/SystemCallList.h"

namespace platform {

// One function pointer per call; a null entry answers with the call's failure
// result. A table may name only the calls it answers: `SystemCalls calls;`
// starts with none.
struct SystemCalls {
#define TORVANE_SEAM_FIELD(Result, Name, Parameters, Arguments, Failure, Real) \
  Result(*Name) Parameters = nullptr;
  TORVANE_SYSTEM_CALLS(TORVANE_SEAM_FIELD)
#undef TORVANE_SEAM_FIELD
};

// The entries of `first`, and those of `rest` where `first` has none.
SystemCalls Overlay(const SystemCalls& first, const SystemCalls& rest);

// A table in which every call fails, as on a system without any device.
const SystemCalls& FailingCalls();

// Installs a table (kept by pointer, must outlive its use); null restores the
// real system. Safe to call while other threads are between calls.
void InstallSystemCalls(const SystemCalls* calls);
const SystemCalls& RealSystemCalls();

// The calls themselves, with the platform's argument order. Security
// attributes, template files and overlapped structures are never used.
#define TORVANE_SEAM_DECLARE(Result, Name, Parameters, Arguments, Failure, Real) \
  Result Name Parameters;
TORVANE_SYSTEM_CALLS(TORVANE_SEAM_DECLARE)
#undef TORVANE_SEAM_DECLARE

}  // namespace platform
