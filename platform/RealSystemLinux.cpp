// The native Linux build has no real system behind the seam: without a bay or
// a test's table installed, there are no devices, no volumes, no Windows
// directory and no Task Scheduler. Every call answers its failure result.
#include "platform/SystemCalls.h"

namespace platform {

const SystemCalls& RealSystemCalls() { return FailingCalls(); }

}  // namespace platform
