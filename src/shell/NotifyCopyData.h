#pragma once
// The WM_COPYDATA that Shell_NotifyIcon sends to Shell_TrayWnd, in its two formats: Windows'
// (dwData 1, a signature, the NIM_ code, then the caller's NOTIFYICONDATA, ANSI or Unicode, of
// any of its sizes) and Wine's (dwData the NIM_ code, a fixed 960-byte record, then the icon's
// bits). Parsing allocates nothing and never reads past the data, so the hook can use it
// inside the shell.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/Types.h"

namespace cvl {

inline constexpr std::uint32_t kNotifySignature = 0x34753423;
inline constexpr std::size_t kWineRecordSize = 960;

struct NotifyCopyData {
  std::uint32_t message = 0;  // NIM_ADD 0, NIM_MODIFY 1, NIM_DELETE 2, NIM_SETFOCUS 3, ...
  std::uint32_t owner = 0;
  std::uint32_t uID = 0;
  std::uint32_t flags = 0;
  std::uint32_t callback = 0;
  std::uint32_t icon = 0;  // the caller's handle (Windows format only)
  const std::uint8_t* tip = nullptr;
  bool tipWide = false;
  std::size_t tipChars = 0;  // the tip field's capacity in characters
  // The fields of the later versions (2000 and after), where the record carries them: the
  // icon's state and the balloon. Their text is as wide as the tip's.
  bool hasLaterFields = false;
  std::uint32_t state = 0, stateMask = 0;
  const std::uint8_t* info = nullptr;  // 256 characters
  std::uint32_t timeout = 0;
  const std::uint8_t* infoTitle = nullptr;  // 64 characters
  std::uint32_t infoFlags = 0;
  // Wine format: the icon as bits.
  std::uint32_t iconWidth = 0, iconHeight = 0, iconPlanes = 0, iconBitsPerPixel = 0;
  const std::uint8_t* mask = nullptr;
  std::size_t maskBytes = 0;
  const std::uint8_t* colour = nullptr;
  std::size_t colourBytes = 0;
  bool wineFormat = false;
};

std::optional<NotifyCopyData> ParseNotifyCopyData(std::uint32_t dwData, const void* data,
                                                  std::size_t size);

inline constexpr std::size_t kInfoChars = 256;
inline constexpr std::size_t kInfoTitleChars = 64;

// True when the record sets the icon's hidden state; hidden tells which.
bool SetsHidden(const NotifyCopyData& n, bool* hidden);

// Text of chars characters (wide or not) as ANSI into buffer (always terminated); characters
// outside Latin-1 become '?'. Returns the length written.
std::size_t NotifyText(const std::uint8_t* text, bool wide, std::size_t chars, char* buffer,
                       std::size_t capacity);

// The tip as ANSI text into buffer (always terminated); characters outside Latin-1 become '?'.
// Returns the length written.
std::size_t NotifyTipText(const NotifyCopyData& n, char* buffer, std::size_t capacity);

}  // namespace cvl
