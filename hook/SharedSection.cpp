#include "SharedSection.h"

namespace snarehook {

// The section's flags make the loader share it: one copy for every process.
__attribute__((section(".shr"), shared)) Shared g_shared = {};

}  // namespace snarehook
