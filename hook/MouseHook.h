#pragma once
// The mouse hooks, in Corvalet's process: which button chooses an entry of Corvalet's menu, and
// (global) right clicks on minimize buttons.
namespace snarehook {

void InstallMouseHooks();
void RemoveMouseHooks();

}  // namespace snarehook
