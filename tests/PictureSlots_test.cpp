// The options list's image list: pictures keep their slots, new ones take free slots first,
// and only what changed is put in.
#include <gtest/gtest.h>

#include "views/PictureSlots.h"

namespace cvl {
namespace {

std::vector<Picture> Pictures(std::initializer_list<Hicon> icons) {
  std::vector<Picture> out;
  for (const Hicon icon : icons) out.push_back({icon, 1000u + icon});
  return out;
}

std::vector<int> Slots(const PictureSlots& slots, std::size_t count) {
  std::vector<int> out;
  for (std::size_t i = 0; i < count; ++i) out.push_back(slots.SlotOf(i));
  return out;
}

TEST(PictureSlots, PicturesGoInOnceAndKeepTheirSlotsWhenIconsAheadOfThemLeave) {
  PictureSlots slots;
  auto puts = slots.Assign(Pictures({1, 2, 3, 4}));
  ASSERT_EQ(puts.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_TRUE(puts[i].append);
    EXPECT_EQ(puts[i].slot, static_cast<int>(i));
    EXPECT_EQ(puts[i].image, i);
  }
  // The same again puts nothing in.
  EXPECT_TRUE(slots.Assign(Pictures({1, 2, 3, 4})).empty());
  // The first icon leaves: the others keep their slots, nothing is put in.
  EXPECT_TRUE(slots.Assign(Pictures({2, 3, 4})).empty());
  EXPECT_EQ(Slots(slots, 3), (std::vector<int>{1, 2, 3}));
  // A new icon takes the freed slot instead of growing the list.
  puts = slots.Assign(Pictures({2, 3, 4, 5}));
  ASSERT_EQ(puts.size(), 1u);
  EXPECT_FALSE(puts[0].append);
  EXPECT_EQ(puts[0].slot, 0);
  EXPECT_EQ(puts[0].image, 3u);
  EXPECT_EQ(Slots(slots, 4), (std::vector<int>{1, 2, 3, 0}));
  EXPECT_EQ(slots.Count(), 4u);
}

TEST(PictureSlots, ACopyThatCameLaterIsAnotherPictureAndTwoIconsMayShareOne) {
  PictureSlots slots;
  slots.Assign({{7, 0}, {8, 0}});
  // The pixels of icon 7 arrived: its copy is put in, into the slot the bare handle no longer
  // needs; icon 8 stays.
  auto puts = slots.Assign({{7, 77}, {8, 0}});
  ASSERT_EQ(puts.size(), 1u);
  EXPECT_EQ(puts[0].slot, 0);
  EXPECT_FALSE(puts[0].append);
  // Two icons with one picture share its slot; the picture goes in once.
  puts = slots.Assign({{9, 99}, {9, 99}, {8, 0}});
  ASSERT_EQ(puts.size(), 1u);
  EXPECT_EQ(slots.SlotOf(0), slots.SlotOf(1));
  EXPECT_NE(slots.SlotOf(0), slots.SlotOf(2));
  EXPECT_EQ(slots.SlotOf(2), 1);
  EXPECT_EQ(slots.SlotOf(3), -1);
}

TEST(PictureSlots, AFailedAppendOrAClearedListPutsEverythingInAgain) {
  PictureSlots slots;
  auto puts = slots.Assign(Pictures({1, 2, 3}));
  // The image list refused the second append: that slot and the ones after it do not exist.
  slots.Truncate(static_cast<std::size_t>(puts[1].slot));
  EXPECT_EQ(slots.Count(), 1u);
  EXPECT_EQ(Slots(slots, 3), (std::vector<int>{0, -1, -1}));
  puts = slots.Assign(Pictures({1, 2, 3}));
  ASSERT_EQ(puts.size(), 2u);
  EXPECT_EQ(puts[0].slot, 1);
  EXPECT_TRUE(puts[1].append);
  slots.Clear();
  EXPECT_EQ(slots.Assign(Pictures({1, 2, 3})).size(), 3u);
}

// Random tray changes: every wanted picture ends in a slot that holds exactly it, no two
// different pictures share a slot, and the slots never outgrow the most icons at once.
TEST(PictureSlots, EverySlotHoldsWhatItsIconsShowThroughRandomChanges) {
  std::uint32_t seed = 12345;
  const auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
  PictureSlots slots;
  std::vector<Picture> held;  // what the image list would hold
  std::size_t most = 0;
  for (int round = 0; round < 300; ++round) {
    std::vector<Picture> wanted;
    const std::size_t count = next() % 12;
    for (std::size_t i = 0; i < count; ++i) wanted.push_back({next() % 16, next() % 3});
    most = std::max(most, count);
    for (const PictureSlots::Put& put : slots.Assign(wanted)) {
      if (put.append) {
        ASSERT_EQ(static_cast<std::size_t>(put.slot), held.size());
        held.push_back(wanted[put.image]);
      } else {
        held.at(static_cast<std::size_t>(put.slot)) = wanted[put.image];
      }
    }
    ASSERT_EQ(held.size(), slots.Count());
    ASSERT_LE(held.size(), most);
    for (std::size_t i = 0; i < wanted.size(); ++i) {
      const int slot = slots.SlotOf(i);
      ASSERT_GE(slot, 0);
      ASSERT_EQ(held[static_cast<std::size_t>(slot)], wanted[i]) << "round " << round;
    }
  }
}

}  // namespace
}  // namespace cvl
