#include "shell/AnswerBatch.h"

#include <cstring>

#include "shell/HookProtocol.h"

namespace cvl {

AnswerMessage AnswerBatch::operator[](std::size_t i) const {
  std::uint32_t v[3];
  std::memcpy(v, data_ + i * kAnswerBatchEntry, sizeof v);
  return {v[0], v[1], static_cast<LParam>(v[2])};
}

std::optional<AnswerBatch> ParseAnswerBatch(const void* data, std::size_t size) {
  if (data == nullptr || size == 0 || size % kAnswerBatchEntry != 0 ||
      size / kAnswerBatchEntry > kAnswerBatchMaxMessages)
    return std::nullopt;
  AnswerBatch batch;
  batch.data_ = static_cast<const std::uint8_t*>(data);
  batch.count_ = size / kAnswerBatchEntry;
  const std::uint32_t last = batch[batch.count_ - 1].msg;
  if (last != THM_ENUMEND && last != THM_QUERYEND) return std::nullopt;
  const std::uint32_t begin = last == THM_ENUMEND ? THM_ENUMBEGIN : THM_QUERYBEGIN;
  for (std::size_t i = 0; i + 1 < batch.count_; ++i) {
    const std::uint32_t msg = batch[i].msg;
    if (msg <= begin || msg >= last) return std::nullopt;
  }
  return batch;
}

}  // namespace cvl
