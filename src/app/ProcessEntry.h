#pragma once
// The single-instance guard, checked before anything else is created.
#include "platform/Desktop.h"

namespace cvl {

inline constexpr const char* kSecondInstanceWarning =
    "Can not be more then 2 Corvalets in the memory.\r\nPlease close one.";

bool AnotherInstanceRunning(Desktop& desktop);

}  // namespace cvl
