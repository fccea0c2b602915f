#include "platform/SystemCalls.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<const SystemCalls*> installed{nullptr};

const SystemCalls& Current() {
  const SystemCalls* calls = installed.load(std::memory_order_acquire);
  return calls ? *calls : RealSystemCalls();
}
}  // namespace

SystemCalls Overlay(const SystemCalls& first, const SystemCalls& rest) {
  SystemCalls calls;
#define TORVANE_SEAM_OVERLAY(Result, Name, Parameters, Arguments, Failure, Real) \
  calls.Name = first.Name ? first.Name : rest.Name;
  TORVANE_SYSTEM_CALLS(TORVANE_SEAM_OVERLAY)
#undef TORVANE_SEAM_OVERLAY
  return calls;
}

namespace {
template <class... Arguments>
void Ignore(const Arguments&...) {}

#define TORVANE_SEAM_FAIL(Result, Name, Parameters, Arguments, Failure, Real) \
  Result Fail##Name Parameters {                                              \
    Ignore Arguments;                                                         \
    return Failure;                                                           \
  }
TORVANE_SYSTEM_CALLS(TORVANE_SEAM_FAIL)
#undef TORVANE_SEAM_FAIL

SystemCalls MakeFailingCalls() {
  SystemCalls calls;
#define TORVANE_SEAM_FAIL_ENTRY(Result, Name, Parameters, Arguments, Failure, Real) \
  calls.Name = Fail##Name;
  TORVANE_SYSTEM_CALLS(TORVANE_SEAM_FAIL_ENTRY)
#undef TORVANE_SEAM_FAIL_ENTRY
  return calls;
}
}  // namespace

const SystemCalls& FailingCalls() {
  static const SystemCalls calls = MakeFailingCalls();
  return calls;
}

void InstallSystemCalls(const SystemCalls* calls) {
  installed.store(calls, std::memory_order_release);
}

#define TORVANE_SEAM_DEFINE(Result, Name, Parameters, Arguments, Failure, Real) \
  Result Name Parameters {                                                      \
    const auto call = Current().Name;                                           \
    return call ? call Arguments : Failure;                                     \
  }
TORVANE_SYSTEM_CALLS(TORVANE_SEAM_DEFINE)
#undef TORVANE_SEAM_DEFINE

}  // namespace platform
