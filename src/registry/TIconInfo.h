#pragma once
// The record of one tray icon: the shell's NOTIFYICONDATA fields followed by the program's own.
#include <array>
#include <cstdint>
#include <string>

#include "platform/Types.h"
#include "registry/IconPlace.h"

namespace cvl {

struct TIconInfo {
  std::uint32_t cbSize = 0;
  Hwnd hWnd = 0;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;  // never filled
  std::uint32_t uCallbackMessage = 0;
  Hicon hIcon = 0;
  std::array<char, 64> szTip{};  // never filled: the tip goes to TipText
  std::int32_t ButtonIndex = 0;
  std::int32_t CommandId = 0;
  std::string TipText;
  std::uint8_t State = 0;
  std::string ExePath;
  std::string ClassName;
  IconPlace Place = IconPlace::Unplaced;
  // Its program hid it (NIS_HIDDEN): its button stays hidden wherever it belongs, and the
  // panel and the menu leave it out until the program shows it again.
  bool ProgramHidden = false;
  // The version its program set (NIM_SETVERSION): from 3 on, the shell of 2000 and XP sends
  // it other messages for the keyboard and adds some after the mouse's (views/IconMessages.h).
  std::uint32_t uVersion = 0;
};

// The size the record reports in cbSize: the packed record, its three text fields held as
// pointers.
inline constexpr std::uint32_t kIconInfoSize =
    4 + 4 + 4 + 4 + 4 + 4 + 64 + 4 + 4 + 4 + 1 + 4 + 4 + 1;

}  // namespace cvl
