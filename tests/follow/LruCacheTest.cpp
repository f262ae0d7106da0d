#include "follow/LruCache.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>


namespace {

using Keys = std::vector<std::string>;

class LruCacheTest : public ::testing::Test {
protected:
  void PutAbc() {
    for (const char* key : {"a", "b", "c"}) cache.Put(key, std::string("value of ") + key);
  }

  CLruCache<std::string, std::string> cache{3};
};

TEST_F(LruCacheTest, HitMovesOnePlaceTowardTheHeadAndOverflowDropsTheTail) {
  PutAbc();
  EXPECT_EQ(cache.KeysFromHead(), (Keys{"c", "b", "a"}));

  std::string value;
  ASSERT_TRUE(cache.Get("a", value));
  EXPECT_EQ(value, "value of a");
  EXPECT_EQ(cache.KeysFromHead(), (Keys{"c", "a", "b"}));

  cache.Put("d", "value of d");
  EXPECT_EQ(cache.KeysFromHead(), (Keys{"d", "c", "a"}));
  EXPECT_EQ(cache.Count(), 3);
  EXPECT_FALSE(cache.Get("b", value));

  // The entry that became the tail by a swap is the next to go.
  ASSERT_TRUE(cache.Get("c", value));
  EXPECT_EQ(cache.KeysFromHead(), (Keys{"c", "d", "a"}));
  ASSERT_TRUE(cache.Get("a", value));
  EXPECT_EQ(cache.KeysFromHead(), (Keys{"c", "a", "d"}));
  cache.Put("e", "value of e");
  EXPECT_EQ(cache.KeysFromHead(), (Keys{"e", "c", "a"}));
}

TEST_F(LruCacheTest, HeadHitAndMissChangeNothing) {
  PutAbc();
  std::string value = "untouched";
  EXPECT_FALSE(cache.Get("x", value));
  EXPECT_EQ(value, "untouched");
  ASSERT_TRUE(cache.Get("c", value));
  EXPECT_EQ(value, "value of c");
  EXPECT_EQ(cache.KeysFromHead(), (Keys{"c", "b", "a"}));
}

TEST_F(LruCacheTest, PutOfACachedKeyKeepsItsValueAndPlace) {
  PutAbc();
  cache.Put("b", "newer");
  cache.Put("a", "newer");
  EXPECT_EQ(cache.KeysFromHead(), (Keys{"c", "b", "a"}));
  std::string value;
  ASSERT_TRUE(cache.Get("b", value));
  EXPECT_EQ(value, "value of b");
  EXPECT_EQ(cache.Count(), 3);
}

}  // namespace
