// The shell's WM_COPYDATA records as the hook parses them inside the shell, and the icon bits
// and the batched answers Corvalet receives from the hook: any bytes, any size, any tag.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "shell/AnswerBatch.h"
#include "shell/HookProtocol.h"
#include "shell/IconBits.h"
#include "shell/NotifyCopyData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // The first byte picks dwData: Windows' format, one of the NIM_ codes of Wine's, or any.
  const std::uint32_t tags[] = {1, 0, 1, 2, 3, 4, 0xFFFFFFFFu};
  const std::uint32_t dwData = tags[data[0] % 7];
  // An exact-size copy, so that the sanitizer sees every read past the end.
  const std::vector<std::uint8_t> record(data + 1, data + size);
  const auto parsed = cvl::ParseNotifyCopyData(dwData, record.data(), record.size());
  if (parsed) {
    char tip[128];
    for (const std::size_t capacity : {std::size_t{1}, std::size_t{64}, sizeof tip}) {
      const std::size_t n = cvl::NotifyTipText(*parsed, tip, capacity);
      if (n >= capacity || tip[n] != '\0') __builtin_trap();
    }
    volatile std::uint8_t sink = 0;
    for (std::size_t i = 0; i < parsed->maskBytes; ++i) sink = sink ^ parsed->mask[i];
    for (std::size_t i = 0; i < parsed->colourBytes; ++i) sink = sink ^ parsed->colour[i];
  }
  if (const auto bits = cvl::ParseIconBits(record.data(), record.size())) {
    const std::size_t last = 4u * bits->width * bits->height - 1;
    volatile std::uint8_t sink = bits->colour[last] ^ bits->mask[last];
    (void)sink;
  }
  if (const auto batch = cvl::ParseAnswerBatch(record.data(), record.size())) {
    const std::uint32_t end = (*batch)[batch->Count() - 1].msg;
    for (std::size_t i = 0; i + 1 < batch->Count(); ++i)
      if ((*batch)[i].msg == end || (*batch)[i].msg < cvl::THM_ENUMICON) __builtin_trap();
  }
  return 0;
}
