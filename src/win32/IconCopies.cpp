#include "win32/IconCopies.h"

#include <cstring>
#include <set>
#include <vector>

#include "win32/Handles.h"

namespace cvl::win32 {

namespace {

IconOwner MakeIcon(DWORD w, DWORD h, const DWORD* colour, const DWORD* mask) {
  const BITMAPINFO bi = IconBitsInfo(w, h);
  void* pixels = nullptr;
  const BitmapOwner colourBits(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!colourBits || pixels == nullptr) return IconOwner();
  std::memcpy(pixels, colour, 4 * w * h);
  // The AND mask, one bit per pixel, rows padded to 16 bits: set where the pixel is transparent.
  const DWORD stride = (w + 15) / 16 * 2;
  std::vector<BYTE> andBits(stride * h, 0);
  for (DWORD y = 0; y < h; ++y)
    for (DWORD x = 0; x < w; ++x)
      if (mask[y * w + x] & 0x00FFFFFF)
        andBits[y * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
  const BitmapOwner maskBits(
      CreateBitmap(static_cast<int>(w), static_cast<int>(h), 1, 1, andBits.data()));
  if (!maskBits) return IconOwner();
  // CreateIconIndirect copies both bitmaps: the owners release them here.
  ICONINFO info{TRUE, 0, 0, static_cast<HBITMAP>(maskBits.Get()),
                static_cast<HBITMAP>(colourBits.Get())};
  return IconOwner(CreateIconIndirect(&info));
}

}  // namespace

bool IconCopies::Store(const void* data, std::size_t size) {
  const auto bits = ParseIconBits(data, size);
  if (!bits) return false;
  const DWORD pixels = bits->width * bits->height;
  // Copied out: the message's data need not be aligned for 32-bit reads.
  Pixels taken{bits->width, bits->height, std::vector<DWORD>(2 * pixels)};
  std::memcpy(taken.colourAndMask.data(), bits->colour, 8 * pixels);
  // New pixels for a handle replace whatever was held for it.
  copies_.erase(bits->handle);
  serials_.erase(bits->handle);
  pending_[bits->handle] = std::move(taken);
  return true;
}

void IconCopies::MakePending() const {
  for (auto it = pending_.begin(); it != pending_.end();) {
    const Pixels& p = it->second;
    IconOwner icon = MakeIcon(p.width, p.height, p.colourAndMask.data(),
                              p.colourAndMask.data() + p.width * p.height);
    if (!icon) {
      ++it;
      continue;
    }
    copies_[it->first] = std::move(icon);
    serials_[it->first] = ++lastSerial_;
    it = pending_.erase(it);
  }
}

HICON IconCopies::Resolve(Hicon shellIcon) const {
  if (pending_.count(shellIcon) != 0) MakePending();
  const auto it = copies_.find(shellIcon);
  return it != copies_.end() ? it->second.Get() : ToHicon(shellIcon);
}

std::uint64_t IconCopies::Serial(Hicon shellIcon) const {
  const auto it = serials_.find(shellIcon);
  return it != serials_.end() ? it->second : 0;
}

void IconCopies::KeepListed(const TIconList& listed) {
  std::set<Hicon> keep;
  for (const TIconInfo& icon : listed) keep.insert(icon.hIcon);
  std::erase_if(copies_, [&](const auto& copy) { return keep.count(copy.first) == 0; });
  std::erase_if(pending_, [&](const auto& copy) { return keep.count(copy.first) == 0; });
  std::erase_if(serials_, [&](const auto& copy) { return keep.count(copy.first) == 0; });
}

}  // namespace cvl::win32
