#pragma once
// The messages exchanged with Snarehook.dll and the values they carry. Several commands reuse
// toolbar message numbers; only the hooked windows tell them apart by their wParam.
#include <cstdint>

namespace cvl {

inline constexpr std::uint32_t THM_ON = 0x7777;
inline constexpr std::uint32_t THM_OFF = 0x9999;

// Request values, in wParam (and lParam where stated) of the commands.
inline constexpr std::uint32_t THM_ENUM_VALUE = 0x5555;
inline constexpr std::uint32_t THM_QUERY_VALUE = 0x6666;
inline constexpr std::uint32_t THM_QUERYSETWND_VALUE = 0x6667;
inline constexpr std::uint32_t THM_QUERYSETID_VALUE = 0x6668;

// Commands, program to shell windows.
inline constexpr std::uint32_t THM_BUTTONSWITCH = 0x402;  // to the notification area
inline constexpr std::uint32_t THM_HOOKSWITCH = 0x403;    // to the taskbar
inline constexpr std::uint32_t THM_ENUMREQUEST = 0x401;   // the toolbar's TB_ENABLEBUTTON
inline constexpr std::uint32_t THM_QUERYSETWND = 0x404;   // TB_HIDEBUTTON
inline constexpr std::uint32_t THM_QUERYSETID = 0x404;    // TB_HIDEBUTTON
inline constexpr std::uint32_t THM_QUERYREQUEST = 0x412;  // TB_GETSTATE
inline constexpr std::uint32_t kTbEnableButton = 0x401;
inline constexpr std::uint32_t kTbHideButton = 0x404;
inline constexpr std::uint32_t kTbGetState = 0x412;
inline constexpr std::uint32_t kTbMoveButton = 0x452;
inline constexpr std::int32_t kTbHide = 0xFFFF;
inline constexpr std::int32_t kTbShow = 0;

// Notifications, hook to main form.
inline constexpr std::uint32_t THM_ENUMBEGIN = 0x404;
inline constexpr std::uint32_t THM_ENUMICON = 0x405;
inline constexpr std::uint32_t THM_ENUMOWNER = 0x406;
inline constexpr std::uint32_t THM_ENUMCALLBACK = 0x407;
inline constexpr std::uint32_t THM_ENUMTIP = 0x408;
inline constexpr std::uint32_t THM_ENUMCOMMIT = 0x409;
inline constexpr std::uint32_t THM_ENUMEND = 0x40A;  // lParam: the buttons left out, unreadable
inline constexpr std::uint32_t THM_QUERYBEGIN = 0x40B;
inline constexpr std::uint32_t THM_QUERYICON = 0x40C;
inline constexpr std::uint32_t THM_QUERYOWNER = 0x40D;
inline constexpr std::uint32_t THM_QUERYCALLBACK = 0x40E;
inline constexpr std::uint32_t THM_QUERYTIP = 0x40F;
inline constexpr std::uint32_t THM_QUERYCOMMIT = 0x410;
inline constexpr std::uint32_t THM_QUERYEND = 0x411;
// The messages an answer is made of: an enumeration's and a query's, begin to end.
inline constexpr std::uint32_t kFirstAnswerMessage = THM_ENUMBEGIN;
inline constexpr std::uint32_t kLastAnswerMessage = THM_QUERYEND;
inline constexpr std::uint32_t THM_ICONADDED = 0x415;
inline constexpr std::uint32_t THM_ICONMODIFIED = 0x416;
inline constexpr std::uint32_t THM_ICONDELETED = 0x417;
// The program hid or showed its icon (NIF_STATE with NIS_HIDDEN) or set its version
// (NIM_SETVERSION): the tray is read again.
inline constexpr std::uint32_t THM_ICONSTATE = 0x418;
// The reports of tray changes, which Corvalet takes together.
inline constexpr std::uint32_t kFirstReport = THM_ICONADDED;
inline constexpr std::uint32_t kLastReport = THM_ICONSTATE;
inline constexpr std::uint32_t THM_MENULEFTBUTTON = 0x419;
inline constexpr std::uint32_t THM_MENURIGHTBUTTON = 0x41A;
inline constexpr std::uint32_t THM_MINBUTTONRCLICK = 0x41F;
// A balloon of an icon whose button Corvalet hid, kept from the shell (which would show it at
// no icon the user sees): wParam the owner's window, lParam the balloon's number, by which
// Corvalet takes it from the library (BalloonRecord.h).
inline constexpr std::uint32_t THM_ICONBALLOON = 0x41B;

// THM_ENUMCOMMIT's and THM_QUERYCOMMIT's lParam: what the icon's program asked of its state.
inline constexpr std::uint32_t kCommitProgramHidden = 0x1;  // NIS_HIDDEN
// Bits 8 to 15: the version the program set for the icon (NIM_SETVERSION), 0 for none.
inline constexpr std::uint32_t kCommitVersionShift = 8;
inline constexpr std::uint32_t kCommitVersionMask = 0xFF00;
constexpr std::uint32_t CommitVersion(std::uint32_t version) {
  return version > 0xFF ? kCommitVersionMask : (version << kCommitVersionShift);
}
constexpr std::uint32_t VersionOfCommit(std::uint32_t programState) {
  return (programState & kCommitVersionMask) >> kCommitVersionShift;
}

// The main form, as the hook and the single-instance check find it.
inline constexpr const char* kMainFormClass = "TMainForm";
inline constexpr const char* kMainFormCaption = "Quillon Corvalet";

// How long the program waits for the hook: for a request to be taken, and for the next message
// of its answer. A hung taskbar costs this much once per request instead of freezing the
// program; a slow answer that keeps coming is awaited, up to kHookAnswerLimitMs in all.
inline constexpr std::uint32_t kHookAnswerTimeoutMs = 3000;
inline constexpr std::uint32_t kHookAnswerLimitMs = 30000;

}  // namespace cvl
