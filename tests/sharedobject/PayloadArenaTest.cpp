#include "sharedobject/PayloadArena.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sharedobject/MapBuilder.h"
#include "sharedobject/Variant.h"

namespace {

// Texts, times and maps (some too large for a chunk) made in nested arenas, spread over many
// chunks. A third of them outlive both arenas and are read and changed afterwards, the rest are
// freed first, in another order than they were made; the sanitizers' builds report a chunk
// used after it was freed, or one never freed.
TEST(PayloadArenaTest, PayloadsOutliveTheirArenaAndFreeTheirChunksInAnyOrder) {
  std::vector<Variant> kept;
  {
    std::vector<Variant> dropped;
    const PayloadArena outer;
    for (int i = 0; i < 6000; ++i) {
      Variant value;
      if (i % 3 == 0) {
        value.SetString("text number " + std::to_string(i) + " too long for the small-string buffer");
      } else if (i % 3 == 1) {
        std::tm time{};
        time.tm_year = 100 + i % 20;
        time.tm_mday = 1;
        value.SetTimestamp(time);
      } else {
        const PayloadArena inner;
        MapBuilder map(value, i % 500 == 2 ? 1000 : 2);
        map.Add("n").SetInt64(i);
      }
      (i % 3 == i / 3 % 3 ? kept : dropped).push_back(std::move(value));
    }
    while (!dropped.empty()) {
      dropped.erase(dropped.begin() + static_cast<std::ptrdiff_t>(dropped.size() / 2));
    }
  }
  ASSERT_EQ(2000u, kept.size());
  for (size_t k = 0; k < kept.size(); ++k) {
    const int i = static_cast<int>(k * 3 + k % 3);
    if (i % 3 == 0) {
      EXPECT_EQ("text number " + std::to_string(i) + " too long for the small-string buffer", kept[k].ToString());
    } else if (i % 3 == 1) {
      ASSERT_NE(nullptr, kept[k].CalendarTime());
      EXPECT_EQ(100 + i % 20, kept[k].CalendarTime()->tm_year);
    } else {
      ASSERT_NE(nullptr, kept[k].Find("n"));
      EXPECT_EQ(i, kept[k].Find("n")->ToInt64());
      kept[k]["m"].SetString("added later, outside any arena, to a map made in one");
    }
  }
}

}  // namespace
