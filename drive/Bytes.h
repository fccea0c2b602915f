// The byte-order helpers, under the drive layer's names.
#pragma once

#include "platform/ByteOrder.h"

namespace drive {

using platform::GetBe16;
using platform::GetBe32;
using platform::GetLe16;
using platform::PutBe16;
using platform::PutBe32;

}  // namespace drive
