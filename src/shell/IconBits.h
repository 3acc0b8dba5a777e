#pragma once
// The icon pixels the hook hands Corvalet in a WM_COPYDATA (dwData kIconBitsTag), so that
// Corvalet can draw icons whose handles are not valid outside the shell's process (Wine):
//   { uint32 handle, width, height; uint32 colour[width * height]; uint32 mask[width * height] }
// both halves 32 bits a pixel, rows top-down, little-endian.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

namespace cvl {

inline constexpr std::uint32_t kIconBitsTag = 0x534E4943;
inline constexpr std::uint32_t kIconBitsMaxSide = 64;
inline constexpr std::size_t kIconBitsHeader = 12;

inline constexpr std::uint32_t IconBitsSize(std::uint32_t width, std::uint32_t height) {
  return static_cast<std::uint32_t>(kIconBitsHeader) + 8 * width * height;
}

struct IconBitsView {
  std::uint32_t handle = 0;  // the shell's icon handle the pixels belong to
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  const std::uint8_t* colour = nullptr;  // width * height pixels
  const std::uint8_t* mask = nullptr;    // the same, non-zero where transparent
};

// Nothing unless the size is exactly that of a picture of at most kIconBitsMaxSide a side.
inline std::optional<IconBitsView> ParseIconBits(const void* data, std::size_t size) {
  if (data == nullptr || size < kIconBitsHeader) return std::nullopt;
  std::uint32_t head[3];
  std::memcpy(head, data, sizeof head);
  IconBitsView v{head[0], head[1], head[2]};
  if (v.width == 0 || v.height == 0 || v.width > kIconBitsMaxSide || v.height > kIconBitsMaxSide ||
      size != IconBitsSize(v.width, v.height))
    return std::nullopt;
  v.colour = static_cast<const std::uint8_t*>(data) + kIconBitsHeader;
  v.mask = v.colour + 4 * v.width * v.height;
  return v;
}

}  // namespace cvl
