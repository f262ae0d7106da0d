// The catalogue's answers as the service puts them on the wire, written byte by byte from its
// field numbers and wire types, read through the program's parsing: a field renumbered or
// retyped in the schema files reads wrong or lands among the unknown fields here.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "follow/CatalogueParse.h"

namespace {

// Protocol-buffer wire encoding, as little of it as the answers need.
class Wire {
 public:
  Wire& Number(int field, uint64_t value) {
    Key(field, 0);
    Varint(value);
    return *this;
  }
  Wire& Text(int field, const std::string& value) {
    Key(field, 2);
    Varint(value.size());
    m_bytes += value;
    return *this;
  }
  Wire& Nested(int field, const Wire& message) { return Text(field, message.m_bytes); }
  Wire& Float(int field, float value) {
    Key(field, 5);
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i) m_bytes += static_cast<char>((bits >> (8 * i)) & 0xFF);
    return *this;
  }
  const std::string& Bytes() const { return m_bytes; }

 private:
  void Key(int field, int wireType) { Varint(static_cast<uint64_t>(field) << 3 | wireType); }
  void Varint(uint64_t value) {
    for (; value >= 0x80; value >>= 7) m_bytes += static_cast<char>((value & 0x7F) | 0x80);
    m_bytes += static_cast<char>(value);
  }
  std::string m_bytes;
};

// An Album with what the program reads of it and the required rest.
Wire ServiceAlbum() {
  return Wire()
      .Text(1, "1.0").Text(2, "20261211").Number(3, 1).Number(4, 202321).Text(5, "\xE5\xA4\xA7\xE6\xB1\x9F")
      .Number(6, 987654).Text(7, "vid-1").Number(9, 2).Number(11, 4500).Float(12, 8.5f).Number(19, 40)
      .Number(20, 12).Number(24, 7).Text(25, "source").Text(26, "2013\xE5\xB9\xB4")
      .Text(43, "http://www.vexo.example/v_19rrok4nt0.html");
}

Wire ServiceBigAlbum(const Wire& album) {
  const Wire video = Wire().Number(1, 5550).Text(6, "episode 12").Number(7, 12).Number(10, 202321);
  const Wire videoList = Wire().Text(1, "1.0").Nested(2, video).Number(3, 40);
  return Wire().Text(1, "1.0").Text(2, "20261211").Number(3, 202321).Text(4, "name").Nested(5, album)
      .Nested(40, videoList);
}

TEST(CatalogueSchemaTest, TheServicesBigAlbumReadsAsTheValuesItCarries) {
  VRSProto1::BigAlbum big;
  ASSERT_TRUE(ParseBigAlbum(ServiceBigAlbum(ServiceAlbum()).Bytes(), big));

  const VRSProto1::Album& album = big.album();
  EXPECT_EQ(album.id(), 202321);
  EXPECT_EQ(album.name(), "\xE5\xA4\xA7\xE6\xB1\x9F");
  EXPECT_EQ(album.tv_id(), 987654);
  EXPECT_EQ(album.vid(), "vid-1");
  EXPECT_EQ(album.category_id(), 2);
  EXPECT_EQ(album.play_count(), 4500);
  EXPECT_FLOAT_EQ(album.score(), 8.5f);
  EXPECT_EQ(album.sets_count(), 40);
  EXPECT_EQ(album.cur_set_id(), 12);
  EXPECT_EQ(album.source_id(), 7);
  EXPECT_EQ(album.source_name(), "source");
  EXPECT_EQ(TvYearOf(album.tv_year()), 2013);
  EXPECT_EQ(album.play_url(), "http://www.vexo.example/v_19rrok4nt0.html");
  ASSERT_EQ(big.video_list().video_size(), 1);
  EXPECT_EQ(big.video_list().video(0).tv_id(), 5550);
  EXPECT_EQ(big.video_list().video(0).tv_name(), "episode 12");
  EXPECT_EQ(big.video_list().video(0).video_order(), 12);
  EXPECT_EQ(big.video_list().v_video_count(), 40);
  // Every field the service sent is one the schema knows, with the wire type it has.
  EXPECT_TRUE(big.unknown_fields().empty());
  EXPECT_TRUE(album.unknown_fields().empty());
  EXPECT_TRUE(big.video_list().unknown_fields().empty());
  EXPECT_TRUE(big.video_list().video(0).unknown_fields().empty());
}

TEST(CatalogueSchemaTest, TheServicesLatestVideoReadsAsTheValuesItCarries) {
  const Wire wire = Wire().Number(1, 123).Number(2, 4567).Text(3, "v").Number(4, 40).Number(5, 12).Number(6, 2);
  VRSProto1::LatestVideo latest;
  ASSERT_TRUE(ParseLatestVideo(wire.Bytes(), latest));
  EXPECT_EQ(latest.album_id(), 123);
  EXPECT_EQ(latest.tv_id(), 4567);
  EXPECT_EQ(latest.vid(), "v");
  EXPECT_EQ(latest.video_count(), 40);
  EXPECT_EQ(latest.video_count_updateto(), 12);
  EXPECT_EQ(latest.category_id(), 2);
  EXPECT_TRUE(latest.unknown_fields().empty());
  // And the program writes it back as the same bytes, field by field in number order.
  EXPECT_EQ(latest.SerializeAsString(), wire.Bytes());
}

// A field the service adds later (an Album number the schema leaves free, one past its last)
// is carried along unread, and the answer still reads.
TEST(CatalogueSchemaTest, FieldsTheSchemaDoesNotKnowAreKeptAndDoNotSpoilTheAnswer) {
  Wire album = ServiceAlbum();
  album.Text(39, "free").Number(44, 1);
  VRSProto1::BigAlbum big;
  ASSERT_TRUE(ParseBigAlbum(ServiceBigAlbum(album).Bytes(), big));
  EXPECT_EQ(big.album().sets_count(), 40);
  EXPECT_EQ(big.album().play_url(), "http://www.vexo.example/v_19rrok4nt0.html");
  EXPECT_FALSE(big.album().unknown_fields().empty());
}

}  // namespace
