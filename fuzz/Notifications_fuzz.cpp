// Random sequences of what reaches the main form: programs adding, changing and removing icons,
// the hook's own messages with any numbers (a begin or commit missing, unknown codes, huge
// wParams, atoms that do not exist), reports during waits, answers that never come, the dialog
// and the menu's switch. Nothing may crash, and after the orderly exit no button stays hidden.
#include <cstddef>
#include <cstdint>

#include "World.h"
#include "shell/AnswerBatch.h"
#include "shell/HookProtocol.h"

namespace {

struct Input {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;
  bool More() const { return at < size; }
  std::uint8_t Byte() { return at < size ? data[at++] : 0; }
  std::uint32_t Word() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | Byte();
    return v;
  }
};

constexpr std::uint32_t kHookMessages[] = {cvl::THM_ENUMBEGIN,
                                           cvl::THM_ENUMICON,
                                           cvl::THM_ENUMOWNER,
                                           cvl::THM_ENUMCALLBACK,
                                           cvl::THM_ENUMTIP,
                                           cvl::THM_ENUMCOMMIT,
                                           cvl::THM_ENUMEND,
                                           cvl::THM_QUERYBEGIN,
                                           cvl::THM_QUERYICON,
                                           cvl::THM_QUERYOWNER,
                                           cvl::THM_QUERYCALLBACK,
                                           cvl::THM_QUERYTIP,
                                           cvl::THM_QUERYCOMMIT,
                                           cvl::THM_QUERYEND,
                                           cvl::THM_ICONADDED,
                                           cvl::THM_ICONMODIFIED,
                                           cvl::THM_ICONDELETED,
                                           cvl::THM_MENULEFTBUTTON,
                                           cvl::THM_MENURIGHTBUTTON,
                                           cvl::THM_MINBUTTONRCLICK,
                                           0x418,
                                           0x41B,
                                           0x7FFF};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using cvl::sim::SimHook;
  cvl::test::World w;
  cvl::sim::SimProgram* programs[] = {&w.Program("C:\\Apps\\a.exe", "AWnd"),
                                      &w.Program("C:\\Apps\\b.exe", "BWnd")};
  programs[0]->AddIcon(1, "a");
  if (!w.corvalet->Start()) __builtin_trap();
  Input in{data, size};
  for (int steps = 0; in.More() && steps < 64; ++steps) {
    const std::uint8_t op = in.Byte();
    cvl::sim::SimProgram& p = *programs[op >> 7];
    const std::uint32_t id = in.Byte() % 4;
    switch (op % 10) {
      case 0:
        p.AddIcon(id, "tip" + std::to_string(id));
        break;
      case 1:
        p.ModifyIcon(id, "changed", 0x5000 + id);
        break;
      case 2:
        p.DeleteIcon(id);
        break;
      case 3: {
        const std::uint32_t msg = kHookMessages[in.Byte() % std::size(kHookMessages)];
        const std::uint32_t wParam = in.Word();
        const auto lParam = static_cast<cvl::LParam>(in.Word());
        w.desktop.PostMessageA(w.corvalet->Host().window, msg, wParam, lParam);
        break;
      }
      case 4: {
        // An answer's rest in one piece, whole or not, wanted or not: any numbers, any atoms.
        std::vector<std::uint8_t> batch;
        for (std::uint8_t n = in.Byte() % 12; n > 0 && in.More(); --n) {
          const std::uint32_t v[3] = {kHookMessages[in.Byte() % std::size(kHookMessages)],
                                      in.Word(), in.Word()};
          const auto* bytes = reinterpret_cast<const std::uint8_t*>(v);
          batch.insert(batch.end(), bytes, bytes + sizeof v);
        }
        cvl::LResult taken = 0;
        w.desktop.SendCopyDataTimeout(w.corvalet->Host().window, cvl::kAnswerBatchTag, batch, 1000,
                                      &taken);
        break;
      }
      case 5:
        w.Pump();
        break;
      case 6: {
        const SimHook::Answer modes[] = {SimHook::Answer::Sent, SimHook::Answer::PostedAfterBegin,
                                         SimHook::Answer::Never, SimHook::Answer::NoEnd,
                                         SimHook::Answer::Batched};
        w.hook->AnswerMode = modes[in.Byte() % std::size(modes)];
        break;
      }
      case 7:
        w.corvalet->Form().Options1Click();
        break;
      case 8:
        w.corvalet->Form().Button3Click();
        break;
      case 9:
        w.corvalet->Form().Enabled1Click();
        break;
    }
  }
  w.Pump();
  w.hook->AnswerMode = SimHook::Answer::Sent;
  w.corvalet->Exit();
  for (const cvl::sim::TrayButton& b : w.taskbar->Buttons())
    if (b.hidden) __builtin_trap();
  return 0;
}
