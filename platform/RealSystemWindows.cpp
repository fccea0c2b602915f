// The real system on Windows: each call passes straight to the Win32 API, as
// its entry in SystemCallList.h says.
#include "platform/RealProgramFile.h"
#include "platform/RealTaskScheduler.h"
#include "platform/SystemCalls.h"

namespace platform {

namespace {
#define TORVANE_REAL_CALL(Result, Name, Parameters, Arguments, Failure, Real) \
  Result Native##Name Parameters { return Real; }
TORVANE_SYSTEM_CALLS(TORVANE_REAL_CALL)
#undef TORVANE_REAL_CALL

SystemCalls MakeRealCalls() {
  SystemCalls calls;
#define TORVANE_REAL_ENTRY(Result, Name, Parameters, Arguments, Failure, Real) \
  calls.Name = Native##Name;
  TORVANE_SYSTEM_CALLS(TORVANE_REAL_ENTRY)
#undef TORVANE_REAL_ENTRY
  return calls;
}
}  // namespace

const SystemCalls& RealSystemCalls() {
  static const SystemCalls realCalls = MakeRealCalls();
  return realCalls;
}

}  // namespace platform
