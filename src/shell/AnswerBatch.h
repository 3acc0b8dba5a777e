#pragma once
// An answer's messages after its begin, carried in one WM_COPYDATA (dwData kAnswerBatchTag)
// instead of one window message each: the hook batches when Corvalet's reply to the begin was
// kTakesAnswerBatch, and posts them one by one otherwise. Each message is three little-endian
// 32-bit values { msg, wParam, lParam }, in the order they would have been posted; the tips
// are global atoms as in a posted answer, and Corvalet reads and deletes each. The end's wParam
// is the answer's number, which Corvalet claims from the hook (ClaimAnswer) before it reads the
// tips: a batch the hook took back after its send gave up is not read, whenever it arrives.
// Parsing allocates nothing and never reads past the data.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/Types.h"

namespace cvl {

inline constexpr std::uint32_t kAnswerBatchTag = 0x534E4142;
inline constexpr LResult kTakesAnswerBatch = 0x42415443;
inline constexpr std::size_t kAnswerBatchEntry = 12;
// Five messages for each of a toolbar's buttons, and the end.
inline constexpr std::size_t kAnswerBatchMaxMessages = 5 * 65536 + 1;

struct AnswerMessage {
  std::uint32_t msg = 0;
  WParam wParam = 0;
  LParam lParam = 0;
};

class AnswerBatch {
 public:
  std::size_t Count() const { return count_; }
  AnswerMessage operator[](std::size_t i) const;

 private:
  friend std::optional<AnswerBatch> ParseAnswerBatch(const void* data, std::size_t size);
  const std::uint8_t* data_ = nullptr;
  std::size_t count_ = 0;
};

// Nothing unless the data is whole messages of one answer, enumeration or query, without its
// begin, with its end last and nowhere else.
std::optional<AnswerBatch> ParseAnswerBatch(const void* data, std::size_t size);

}  // namespace cvl
