#include "app/ProcessEntry.h"

#include "shell/HookProtocol.h"

namespace cvl {

bool AnotherInstanceRunning(Desktop& desktop) {
  return desktop.FindWindowA(kMainFormClass, kMainFormCaption) != 0;
}

}  // namespace cvl
