#pragma once
// What every process that loads the library sees alike, Corvalet's and the shell's: one copy,
// in a section the loader shares (SharedSection.cpp). Everything else the library keeps is its
// own per process.
#include <windows.h>

#include "shell/BalloonRecord.h"

namespace snarehook {

constexpr UINT kSendTimeoutMs = 2000;
constexpr int kMaxTracked = 1024;
constexpr int kMaxMissedAdds = 512;
constexpr int kBalloonsKept = 16;
constexpr int kMostHiddenProcesses = 128;

// An added icon Corvalet could not be told of yet.
struct MissedAdd {
  DWORD owner;  // the owner's window, as the report carries it
  UINT id;
};

// A tray icon of Corvalet's process, as the shell knows it.
struct TrackedIcon {
  HWND owner;
  UINT id;
  bool operator==(const TrackedIcon&) const = default;
};

struct Shared {
  HHOOK hook;
  DWORD installer;  // process that installed the hook
  HWND taskbar, notify, toolbar;
  UINT attachMessage, detachMessage;
  UINT pixelsMessage;  // posted to the taskbar: send the pixels still to go
  LONG serving;
  HWND form;         // Corvalet's main form while serving
  LONG sendAnswers;  // benchmark build only: the whole answer is sent, none of it posted
  HWND queryWindow;
  UINT queryId;
  LONG room;
  HWND clock;
  LONG clockWasVisible;  // when the room was made
  UINT statsMessage;     // benchmark build only
  LONG told;             // messages sent or posted to Corvalet
  LONG requested;        // protocol messages from Corvalet to the shell's windows
  LONG enumerations;     // benchmark build only: the tray's readings asked for
  LONG reportsInFlight;  // reports posted since Corvalet last took its waiting ones
  LONG missedChange;     // a change other than a marked add still to be told: read it all
  LONG panelShown;       // Corvalet's panel is open: new pictures and tips are told
  LONG untoldChanges;    // pictures and tips changed while it was not, counted
  int missedAddCount;
  MissedAdd missedAdds[kMaxMissedAdds];  // in the order they happened
  LONG stampArmed;  // benchmark build only: stamp the next hide of the last button
  LARGE_INTEGER stamp;
  LARGE_INTEGER reported, requested1, answered;  // the first of each after arming
  int hiddenCount;
  int hidden[kMaxTracked];  // command identifiers of the buttons Corvalet hid
  HHOOK mouseHook;          // global: right clicks on minimize buttons
  DWORD mouseHookOwner;     // the Corvalet that installed it
  int windowCount;
  HWND windows[kMaxTracked];  // windows Corvalet's minimizer hid
  int iconCount;
  TrackedIcon icons[kMaxTracked];  // the icons Corvalet's windows have in the tray
  LONG answerNumber;               // the number of the last answer carried in one piece
  LONG answerInFlight;             // the number of the one being handed over, until claimed
  // The last balloons kept from the shell for Corvalet, each in slot number % kBalloonsKept;
  // a record's number is 0 while it is written.
  cvl::BalloonRecord balloons[kBalloonsKept];
  LONG balloonTaken[kBalloonsKept];  // the number last taken from each slot
  LONG balloonNumber;
  LONG balloonOwed;  // the number of a balloon whose report could not be posted yet
  // The processes whose icons Corvalet places in its panel or menu, in two halves: Corvalet
  // fills the one not in use and then switches to it (HiddenProcesses.cpp).
  LONG hiddenProcessesHalf;
  LONG hiddenProcessCount[2];
  DWORD hiddenProcesses[2][kMostHiddenProcesses];
};

extern Shared g_shared;

}  // namespace snarehook
