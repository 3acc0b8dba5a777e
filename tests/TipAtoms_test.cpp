// Every tip atom the hook makes is deleted exactly once, also when many programs add icons at
// once on a busy machine and an answer cannot be handed over in time.
#include <gtest/gtest.h>

#include <string>

#include "World.h"
#include "shell/HookProtocol.h"

namespace cvl::test {
namespace {

constexpr std::uint32_t kBusyMs = 2500;  // longer than the hook waits for an answer to be taken

// Nine programs with icons and Corvalet running; then ten more programs add theirs at once,
// while Corvalet, starved by their start, answers nothing for a while right after it took the
// begin of the first answers.
struct Burst {
  World w;
  int starvedAnswers = 2;

  Burst() {
    for (int i = 0; i < 9; ++i)
      w.Program("C:\\Apps\\base" + std::to_string(i) + ".exe", "Base" + std::to_string(i))
          .AddIcon(1, "base " + std::to_string(i));
    EXPECT_TRUE(w.corvalet->Start());
    EXPECT_EQ(w.desktop.AtomCount(), 0);
    sim::SimWindow& form = *w.desktop.Window(w.corvalet->Host().window);
    form.handler = [this, taken = form.handler](std::uint32_t msg, WParam wp, LParam lp) {
      const LResult r = taken(msg, wp, lp);
      if (msg == THM_ENUMBEGIN && starvedAnswers > 0) {
        --starvedAnswers;
        w.desktop.StallProcess(w.corvalet->ProcessId(), kBusyMs);
      }
      return r;
    };
  }

  void AddAtOnce() {
    for (int i = 0; i < 10; ++i)
      w.Program("C:\\Apps\\new" + std::to_string(i) + ".exe", "New" + std::to_string(i))
          .AddIcon(1, "new " + std::to_string(i));
    for (int i = 0; i < 5; ++i) w.Pump();
  }
};

TEST(TipAtoms, NoneOutlivesAnswersThatCouldNotBeHandedOver) {
  // Wine drops a send that timed out before it was received.
  Burst b;
  b.AddAtOnce();
  EXPECT_EQ(b.starvedAnswers, 0);
  EXPECT_EQ(b.w.desktop.AtomCount(), 0);
  // What was lost is asked again: every new icon is listed.
  for (int i = 0; i < 10; ++i)
    EXPECT_NE(Find(b.w.Registry(), "new " + std::to_string(i)), nullptr) << i;
  b.w.corvalet->Exit();
  EXPECT_EQ(b.w.desktop.AtomCount(), 0);
}

TEST(TipAtoms, AnAnswerHandedOverLateIsNotReadAndItsAtomsAreDeletedOnce) {
  // Windows delivers a send that timed out when the receiver gets to it: by then the hook has
  // taken its atoms back, and deleting them again would take another holder's reference.
  Burst b;
  b.w.desktop.LateCopyData = true;
  const Atom other = b.w.desktop.GlobalAddAtomA("base 0");  // someone else's, the same text
  b.AddAtOnce();
  EXPECT_EQ(b.starvedAnswers, 0);
  EXPECT_EQ(b.w.desktop.AtomCount(), 1);
  EXPECT_EQ(b.w.desktop.GlobalGetAtomNameA(other, 254), "base 0");
  for (int i = 0; i < 10; ++i)
    EXPECT_NE(Find(b.w.Registry(), "new " + std::to_string(i)), nullptr) << i;
}

}  // namespace
}  // namespace cvl::test
