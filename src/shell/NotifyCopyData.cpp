#include "shell/NotifyCopyData.h"

#include <cstring>

namespace cvl {

namespace {

std::uint32_t Dword(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// NOTIFYICONDATA sizes: the first version's, then version 5's and 6's.
bool IsAnsiSize(std::uint32_t cb) {
  return cb == 88 || cb == 488 || cb == 504;
}
bool IsWideSize(std::uint32_t cb) {
  return cb == 152 || cb == 936 || cb == 952 || cb == 956;
}

void ReadLaterFields(NotifyCopyData& n, const std::uint8_t* p, std::size_t unit) {
  n.hasLaterFields = true;
  n.state = Dword(p);
  n.stateMask = Dword(p + 4);
  n.info = p + 8;
  n.timeout = Dword(n.info + kInfoChars * unit);
  n.infoTitle = n.info + kInfoChars * unit + 4;
  n.infoFlags = Dword(n.infoTitle + kInfoTitleChars * unit);
}

std::optional<NotifyCopyData> ParseWindows(const std::uint8_t* p, std::size_t size) {
  if (size < 8 + 24 || Dword(p) != kNotifySignature) return std::nullopt;
  NotifyCopyData n;
  n.message = Dword(p + 4);
  const std::uint8_t* nid = p + 8;
  const std::size_t nidSize = size - 8;
  const std::uint32_t cb = Dword(nid);
  n.owner = Dword(nid + 4);
  n.uID = Dword(nid + 8);
  n.flags = Dword(nid + 12);
  n.callback = Dword(nid + 16);
  n.icon = Dword(nid + 20);
  // Versions after the first carry a 128-character tip.
  const std::size_t chars = (cb == 88 || cb == 152) ? 64 : 128;
  const bool wide = IsWideSize(cb) || (!IsAnsiSize(cb) && cb >= 152);
  const std::size_t tipBytes = chars * (wide ? 2 : 1);
  if (nidSize >= 24 + tipBytes) {
    n.tip = nid + 24;
    n.tipWide = wide;
    n.tipChars = chars;
  }
  // dwState, dwStateMask, szInfo[256], uTimeout, szInfoTitle[64], dwInfoFlags after the tip.
  const std::size_t unit = wide ? 2 : 1;
  const std::size_t later = 24 + tipBytes;
  const std::size_t laterBytes = 8 + kInfoChars * unit + 4 + kInfoTitleChars * unit + 4;
  if (chars == 128 && cb >= later + laterBytes && nidSize >= later + laterBytes)
    ReadLaterFields(n, nid + later, unit);
  return n;
}

std::optional<NotifyCopyData> ParseWine(std::uint32_t dwData, const std::uint8_t* p,
                                        std::size_t size) {
  if (size < kWineRecordSize) return std::nullopt;
  NotifyCopyData n;
  n.wineFormat = true;
  n.message = dwData;
  n.owner = Dword(p);
  n.uID = Dword(p + 4);
  n.flags = Dword(p + 8);
  n.callback = Dword(p + 12);
  n.tip = p + 16;
  n.tipWide = true;
  n.tipChars = 128;
  ReadLaterFields(n, p + 16 + 256, 2);
  const std::uint32_t w = Dword(p + 944), h = Dword(p + 948);
  const std::uint32_t planes = Dword(p + 952), bpp = Dword(p + 956);
  if (w == 0 || h == 0 || w > 256 || h > 256 || planes == 0 || planes > 4 || bpp == 0 || bpp > 32)
    return n;
  const std::size_t maskBytes = (static_cast<std::size_t>(w) * h + 15) / 16 * 2;
  const std::size_t colourBytes = (static_cast<std::size_t>(planes) * w * h * bpp + 15) / 16 * 2;
  if (size < kWineRecordSize + maskBytes + colourBytes) return n;
  n.iconWidth = w;
  n.iconHeight = h;
  n.iconPlanes = planes;
  n.iconBitsPerPixel = bpp;
  n.mask = p + kWineRecordSize;
  n.maskBytes = maskBytes;
  n.colour = n.mask + maskBytes;
  n.colourBytes = colourBytes;
  return n;
}

}  // namespace

std::optional<NotifyCopyData> ParseNotifyCopyData(std::uint32_t dwData, const void* data,
                                                  std::size_t size) {
  if (data == nullptr) return std::nullopt;
  const auto* p = static_cast<const std::uint8_t*>(data);
  // The signature decides first: Wine's NIM_MODIFY also comes with dwData 1.
  if (dwData == 1 && size >= 4 && Dword(p) == kNotifySignature) return ParseWindows(p, size);
  if (dwData <= 4) return ParseWine(dwData, p, size);
  return std::nullopt;
}

bool SetsHidden(const NotifyCopyData& n, bool* hidden) {
  if (!n.hasLaterFields || !(n.flags & kNifState) || !(n.stateMask & kNisHidden)) return false;
  *hidden = (n.state & kNisHidden) != 0;
  return true;
}

std::size_t NotifyTipText(const NotifyCopyData& n, char* buffer, std::size_t capacity) {
  return NotifyText(n.tip, n.tipWide, n.tipChars, buffer, capacity);
}

std::size_t NotifyText(const std::uint8_t* text, bool wide, std::size_t chars, char* buffer,
                       std::size_t capacity) {
  if (capacity == 0) return 0;
  std::size_t len = 0;
  for (std::size_t i = 0; text != nullptr && i < chars && len + 1 < capacity; ++i) {
    std::uint32_t c;
    if (wide) {
      std::uint16_t w;
      std::memcpy(&w, text + 2 * i, 2);
      c = w;
    } else {
      c = text[i];
    }
    if (c == 0) break;
    buffer[len++] = c < 256 ? static_cast<char>(c) : '?';
  }
  buffer[len] = '\0';
  return len;
}

}  // namespace cvl
