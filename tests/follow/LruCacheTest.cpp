#include "follow/LruCache.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Keys = std::vector<std::string>;

class LruCacheTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* key : {"a", "b", "c"}) cache.Put(key, std::string("value of ") + key);
  }
  std::string Got(const std::string& key) {
    std::string value = "untouched";
    cache.Get(key, value);
    return value;
  }

  CLruCache<std::string, std::string> cache{3};
};

TEST_F(LruCacheTest, HitMovesOnePlaceTowardTheHeadAndOverflowDropsTheTail) {
  EXPECT_EQ(cache.KeysFromHead(), (Keys{"c", "b", "a"}));
  EXPECT_EQ(Got("a"), "value of a");
  EXPECT_EQ(cache.KeysFromHead(), (Keys{"c", "a", "b"}));
  cache.Put("d", "value of d");
  EXPECT_EQ(cache.KeysFromHead(), (Keys{"d", "c", "a"}));
  EXPECT_EQ(cache.Count(), 3);
  EXPECT_EQ(Got("b"), "untouched");
  // Two hits walk "a" up to the head; the one it passed becomes the tail and goes next.
  Got("a");
  Got("a");
  EXPECT_EQ(cache.KeysFromHead(), (Keys{"a", "d", "c"}));
  cache.Put("e", "value of e");
  EXPECT_EQ(cache.KeysFromHead(), (Keys{"e", "a", "d"}));
}

TEST_F(LruCacheTest, HeadHitMissAndRepeatedPutChangeNothing) {
  EXPECT_EQ(Got("c"), "value of c");
  EXPECT_EQ(Got("x"), "untouched");
  cache.Put("b", "newer");
  cache.Put("a", "newer");
  EXPECT_EQ(cache.KeysFromHead(), (Keys{"c", "b", "a"}));
  EXPECT_EQ(Got("b"), "value of b");
  EXPECT_EQ(cache.Count(), 3);
}

}  // namespace
