#include "win32/IconCopies.h"

#include <cstring>
#include <vector>

#include "win32/Handles.h"

namespace cvl::win32 {

namespace {

HICON MakeIcon(DWORD w, DWORD h, const DWORD* colour, const DWORD* mask) {
  const BITMAPINFO bi = IconBitsInfo(w, h);
  void* pixels = nullptr;
  HBITMAP colourBits = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (colourBits == nullptr) return nullptr;
  std::memcpy(pixels, colour, 4 * w * h);
  // The AND mask, one bit per pixel, rows padded to 16 bits: set where the pixel is transparent.
  const DWORD stride = (w + 15) / 16 * 2;
  std::vector<BYTE> andBits(stride * h, 0);
  for (DWORD y = 0; y < h; ++y)
    for (DWORD x = 0; x < w; ++x)
      if (mask[y * w + x] & 0x00FFFFFF)
        andBits[y * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
  HBITMAP maskBits = CreateBitmap(static_cast<int>(w), static_cast<int>(h), 1, 1, andBits.data());
  ICONINFO info{TRUE, 0, 0, maskBits, colourBits};
  HICON icon = maskBits ? CreateIconIndirect(&info) : nullptr;
  if (maskBits) DeleteObject(maskBits);
  DeleteObject(colourBits);
  return icon;
}

}  // namespace

IconCopies::~IconCopies() {
  for (auto& [handle, copy] : copies_) DestroyIcon(copy.icon);
}

bool IconCopies::Store(const void* data, std::size_t size) {
  if (data == nullptr || size < 12) return false;
  DWORD head[3];
  std::memcpy(head, data, sizeof head);
  const DWORD w = head[1], h = head[2];
  if (w == 0 || h == 0 || w > kIconBitsMaxSide || h > kIconBitsMaxSide ||
      size != IconBitsSize(w, h))
    return false;
  std::vector<DWORD> bits(2 * w * h);
  std::memcpy(bits.data(), static_cast<const BYTE*>(data) + 12, 8 * w * h);
  HICON icon = MakeIcon(w, h, bits.data(), bits.data() + w * h);
  if (icon == nullptr) return false;
  auto [it, inserted] = copies_.try_emplace(static_cast<Hicon>(head[0]), Copy{icon, true});
  if (!inserted) {
    DestroyIcon(it->second.icon);
    it->second = {icon, true};
  }
  return true;
}

HICON IconCopies::Resolve(Hicon shellIcon) const {
  const auto it = copies_.find(shellIcon);
  return it != copies_.end() ? it->second.icon : ToHicon(shellIcon);
}

void IconCopies::BeginEnumeration() {
  for (auto& [handle, copy] : copies_) copy.seen = false;
}

void IconCopies::EndEnumeration() {
  for (auto it = copies_.begin(); it != copies_.end();) {
    if (it->second.seen) {
      ++it;
    } else {
      DestroyIcon(it->second.icon);
      it = copies_.erase(it);
    }
  }
}

}  // namespace cvl::win32
