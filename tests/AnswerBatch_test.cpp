#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

#include "shell/AnswerBatch.h"
#include "shell/HookProtocol.h"

namespace cvl {
namespace {

std::vector<std::uint8_t> Batch(std::initializer_list<AnswerMessage> messages) {
  std::vector<std::uint8_t> b;
  for (const AnswerMessage& m : messages) {
    const std::uint32_t v[3] = {m.msg, m.wParam, static_cast<std::uint32_t>(m.lParam)};
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(v);
    b.insert(b.end(), bytes, bytes + sizeof v);
  }
  return b;
}

bool Parses(const std::vector<std::uint8_t>& b) {
  return ParseAnswerBatch(b.data(), b.size()).has_value();
}

TEST(AnswerBatch, ReadsTheMessagesInTheirOrder) {
  const auto b = Batch({{THM_ENUMICON, 3, 0x1234},
                        {THM_ENUMOWNER, 0x10020, 7},
                        {THM_ENUMCALLBACK, 0x8001, 0},
                        {THM_ENUMTIP, 105, 0xC001},
                        {THM_ENUMCOMMIT, 1, 0},
                        {THM_ENUMEND, 0, 0}});
  const auto batch = ParseAnswerBatch(b.data(), b.size());
  ASSERT_TRUE(batch);
  ASSERT_EQ(batch->Count(), 6u);
  EXPECT_EQ((*batch)[0].msg, THM_ENUMICON);
  EXPECT_EQ((*batch)[0].wParam, 3u);
  EXPECT_EQ((*batch)[0].lParam, 0x1234);
  EXPECT_EQ((*batch)[1].wParam, 0x10020u);
  EXPECT_EQ((*batch)[3].lParam, 0xC001);
  EXPECT_EQ((*batch)[5].msg, THM_ENUMEND);
  // An empty tray's rest is its end alone; a query's is its own five and its end.
  EXPECT_TRUE(Parses(Batch({{THM_ENUMEND, 0, 0}})));
  EXPECT_TRUE(Parses(Batch({{THM_QUERYICON, 0, 9},
                            {THM_QUERYOWNER, 1, 2},
                            {THM_QUERYCALLBACK, 3, 0},
                            {THM_QUERYTIP, 4, 5},
                            {THM_QUERYCOMMIT, 0, 0},
                            {THM_QUERYEND, 0, 0}})));
}

TEST(AnswerBatch, TakesOnlyWholeMessagesOfOneAnswerEndingInItsEnd) {
  EXPECT_FALSE(ParseAnswerBatch(nullptr, 12));
  EXPECT_FALSE(Parses({}));
  auto cut = Batch({{THM_ENUMICON, 0, 0}, {THM_ENUMEND, 0, 0}});
  cut.pop_back();
  EXPECT_FALSE(Parses(cut));
  EXPECT_FALSE(Parses(Batch({{THM_ENUMICON, 0, 0}})));                        // no end
  EXPECT_FALSE(Parses(Batch({{THM_ENUMEND, 0, 0}, {THM_ENUMICON, 0, 0}})));   // end not last
  EXPECT_FALSE(Parses(Batch({{THM_ENUMEND, 0, 0}, {THM_ENUMEND, 0, 0}})));    // two ends
  EXPECT_FALSE(Parses(Batch({{THM_ENUMBEGIN, 0, 0}, {THM_ENUMEND, 0, 0}})));  // its begin
  EXPECT_FALSE(Parses(Batch({{THM_QUERYICON, 0, 0}, {THM_ENUMEND, 0, 0}})));  // two answers
  EXPECT_FALSE(Parses(Batch({{THM_ENUMICON, 0, 0}, {THM_QUERYEND, 0, 0}})));
  EXPECT_FALSE(Parses(Batch({{THM_ICONADDED, 0, 0}, {THM_ENUMEND, 0, 0}})));  // a report
  EXPECT_FALSE(Parses(Batch({{0x401, 0, 0}, {THM_QUERYEND, 0, 0}})));
}

}  // namespace
}  // namespace cvl
