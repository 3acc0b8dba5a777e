#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/NotifyCopyData.h"

namespace cvl {
namespace {

void Put(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  std::memcpy(b.data() + at, &v, 4);
}

std::string Tip(const NotifyCopyData& n) {
  char text[300];
  NotifyTipText(n, text, sizeof text);
  return text;
}

TEST(NotifyCopyData, WineRecordWithIconBits) {
  std::vector<std::uint8_t> b(960 + 32 + 1024);
  Put(b, 0, 0x10020);
  Put(b, 4, 7);
  Put(b, 8, 7);
  Put(b, 12, 0x8064);
  const char16_t tip[] = u"Mail \u00e9\u4e2d";
  std::memcpy(b.data() + 16, tip, sizeof tip);
  Put(b, 944, 16);
  Put(b, 948, 16);
  Put(b, 952, 1);
  Put(b, 956, 32);
  const auto n = ParseNotifyCopyData(1, b.data(), b.size());  // Wine's NIM_MODIFY
  ASSERT_TRUE(n);
  EXPECT_TRUE(n->wineFormat);
  EXPECT_EQ(n->message, 1u);
  EXPECT_EQ(n->owner, 0x10020u);
  EXPECT_EQ(n->uID, 7u);
  EXPECT_EQ(n->callback, 0x8064u);
  EXPECT_EQ(Tip(*n), "Mail \xe9?");
  EXPECT_EQ(n->maskBytes, 32u);
  EXPECT_EQ(n->colourBytes, 1024u);
  EXPECT_EQ(n->colour, b.data() + 960 + 32);

  // Bits announced but cut short: the record still parses, without an icon.
  b.resize(960 + 100);
  const auto cut = ParseNotifyCopyData(0, b.data(), b.size());
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->mask, nullptr);
  EXPECT_FALSE(ParseNotifyCopyData(0, b.data(), 959));
}

TEST(NotifyCopyData, WindowsFormatAnsiAndUnicode) {
  std::vector<std::uint8_t> a(8 + 88);
  Put(a, 0, kNotifySignature);
  Put(a, 4, 2);
  Put(a, 8, 88);
  Put(a, 12, 0x2002C);
  Put(a, 16, 3);
  std::memcpy(a.data() + 8 + 24, "Volume", 7);
  auto n = ParseNotifyCopyData(1, a.data(), a.size());
  ASSERT_TRUE(n);
  EXPECT_FALSE(n->wineFormat);
  EXPECT_EQ(n->message, 2u);
  EXPECT_EQ(n->owner, 0x2002Cu);
  EXPECT_EQ(n->uID, 3u);
  EXPECT_EQ(Tip(*n), "Volume");

  std::vector<std::uint8_t> w(8 + 936);
  Put(w, 0, kNotifySignature);
  Put(w, 8, 936);
  const char16_t tip[] = u"Network";
  std::memcpy(w.data() + 8 + 24, tip, sizeof tip);
  n = ParseNotifyCopyData(1, w.data(), w.size());
  ASSERT_TRUE(n);
  EXPECT_TRUE(n->tipWide);
  EXPECT_EQ(n->tipChars, 128u);
  EXPECT_EQ(Tip(*n), "Network");

  // The first wide version's tip is 64 characters, as the ANSI one's: a full one ends the record.
  std::vector<std::uint8_t> v1(8 + 152);
  Put(v1, 0, kNotifySignature);
  Put(v1, 8, 152);
  const std::u16string full(64, u'T');
  std::memcpy(v1.data() + 8 + 24, full.data(), 2 * full.size());
  n = ParseNotifyCopyData(1, v1.data(), v1.size());
  ASSERT_TRUE(n);
  EXPECT_EQ(Tip(*n), std::string(64, 'T'));

  // Too short for its own tip: the icon is still reported, without text.
  n = ParseNotifyCopyData(1, w.data(), 8 + 40);
  ASSERT_TRUE(n);
  EXPECT_EQ(Tip(*n), "");
  EXPECT_FALSE(ParseNotifyCopyData(1, w.data(), 20));
  EXPECT_FALSE(ParseNotifyCopyData(9, w.data(), w.size()));
  EXPECT_FALSE(ParseNotifyCopyData(0, nullptr, 0));
}

}  // namespace
}  // namespace cvl

#include "shell/IconBits.h"

namespace cvl {
namespace {

TEST(IconBits, OnlyAPictureOfExactlyItsOwnSizeIsTaken) {
  const auto make = [](std::uint32_t w, std::uint32_t h, std::size_t extra) {
    std::vector<std::uint8_t> data(IconBitsSize(w, h) + extra, 0);
    const std::uint32_t head[3] = {0x1234, w, h};
    std::memcpy(data.data(), head, sizeof head);
    if (w * h > 0) {
      data[kIconBitsHeader] = 0xAA;              // first colour byte
      data[kIconBitsHeader + 4 * w * h] = 0xBB;  // first mask byte
    }
    return data;
  };
  const auto good = make(16, 16, 0);
  const auto v = ParseIconBits(good.data(), good.size());
  ASSERT_TRUE(v);
  EXPECT_EQ(v->handle, 0x1234u);
  EXPECT_EQ(v->width, 16u);
  EXPECT_EQ(v->colour[0], 0xAA);
  EXPECT_EQ(v->mask[0], 0xBB);
  EXPECT_EQ(IconBitsSize(16, 16), 12u + 2048u);
  const auto longer = make(16, 16, 4);
  EXPECT_FALSE(ParseIconBits(longer.data(), longer.size()));
  const auto shorter = make(16, 16, 0);
  EXPECT_FALSE(ParseIconBits(shorter.data(), shorter.size() - 1));
  const auto huge = make(65, 1, 0);
  EXPECT_FALSE(ParseIconBits(huge.data(), huge.size()));
  const auto empty = make(0, 16, 0);
  EXPECT_FALSE(ParseIconBits(empty.data(), empty.size()));
  EXPECT_FALSE(ParseIconBits(nullptr, 100));
  EXPECT_FALSE(ParseIconBits(good.data(), 11));
}

}  // namespace
}  // namespace cvl
