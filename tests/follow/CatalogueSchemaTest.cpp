// The catalogue's wire schema as protoc describes it, and every message through the
// program's (lite) classes and back.
#include <google/protobuf/descriptor.h>
#include <google/protobuf/descriptor.pb.h>
#include <google/protobuf/dynamic_message.h>
#include <google/protobuf/message.h>
#include <google/protobuf/util/message_differencer.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "PB/album.pb.h"
#include "PB/video.pb.h"

namespace {

using google::protobuf::Descriptor;
using google::protobuf::DescriptorPool;
using google::protobuf::FieldDescriptor;
using google::protobuf::Message;

constexpr auto R = FieldDescriptor::LABEL_REQUIRED;
constexpr auto O = FieldDescriptor::LABEL_OPTIONAL;
constexpr auto P = FieldDescriptor::LABEL_REPEATED;
constexpr auto Str = FieldDescriptor::TYPE_STRING;
constexpr auto I32 = FieldDescriptor::TYPE_INT32;
constexpr auto Bool = FieldDescriptor::TYPE_BOOL;
constexpr auto Float = FieldDescriptor::TYPE_FLOAT;
constexpr auto Msg = FieldDescriptor::TYPE_MESSAGE;

struct FieldSpec {
  int number;
  FieldDescriptor::Label label;
  FieldDescriptor::Type type;
  const char* name;
  const char* messageType = nullptr;  // full name, for message fields
};

struct MessageSpec {
  const char* fullName;
  const char* file;
  std::vector<FieldSpec> fields;
};

const std::vector<MessageSpec>& Schema() {
  static const std::vector<MessageSpec> schema = {
      {"VRSProto1.SourceVideoList", "video.proto",
       {{1, R, Str, "pb_version"}, {2, R, I32, "s_video_count"}, {3, R, I32, "source_code"},
        {4, R, I32, "category_id"}, {5, P, Msg, "video", "VRSProto1.Video"}}},
      {"VRSProto1.VideoList", "video.proto",
       {{1, R, Str, "pb_version"}, {2, P, Msg, "video", "VRSProto1.Video"}, {3, O, I32, "v_video_count"},
        {4, O, I32, "source_code"}, {5, O, Str, "source_name"}, {6, O, I32, "category_id"}}},
      {"VRSProto1.Video", "video.proto",
       {{1, R, I32, "tv_id"}, {2, O, I32, "effect"}, {3, O, Str, "video_image"}, {4, O, I32, "is_s_d"},
        {5, O, I32, "play_length"}, {6, O, Str, "tv_name"}, {7, O, I32, "video_order"},
        {8, O, Msg, "vid_list", "VRSProto1.VidList"}, {9, O, I32, "video_type"}, {10, O, I32, "album_id"},
        {11, O, Str, "desc"}, {13, O, Str, "vid"}, {14, O, I32, "versionId"}, {15, O, I32, "categoryId"}}},
      {"VRSProto1.VidList", "video.proto", {{1, P, Msg, "vid", "VRSProto1.VidList.Vid"}}},
      {"VRSProto1.VidList.Vid", "video.proto", {{1, O, Str, "video_id"}, {2, O, I32, "version"}}},
      {"VRSProto1.AttrTuple", "album.proto", {{1, R, Str, "name"}, {2, O, Str, "value"}}},
      {"VRSProto1.SmallAlbum", "album.proto",
       {{1, R, Str, "pb_version"}, {2, R, Str, "timestamp"}, {3, R, I32, "id"}, {4, R, Str, "name"},
        {5, O, Str, "desc"}, {6, O, Str, "focus"}, {7, O, Str, "pic_url"}, {8, O, I32, "is_download"},
        {9, O, I32, "is_purchase"}, {10, O, Str, "category_id"}, {30, P, Msg, "extAttr", "VRSProto1.AttrTuple"}}},
      {"VRSProto1.Album", "album.proto",
       {{1, R, Str, "pb_version"},      {2, R, Str, "timestamp"},     {3, R, Bool, "effect"},
        {4, R, I32, "id"},              {5, R, Str, "name"},          {6, R, I32, "tv_id"},
        {7, R, Str, "vid"},             {8, O, Str, "desc"},          {9, O, I32, "category_id"},
        {10, O, Str, "category_name"},  {11, O, I32, "play_count"},   {12, O, Float, "score"},
        {13, O, Str, "focus"},          {14, O, Str, "pic_url"},      {15, O, I32, "is_download"},
        {16, O, I32, "is_purchase"},    {17, O, I32, "purchase_type"}, {18, O, Bool, "is_series"},
        {19, O, I32, "sets_count"},     {20, O, I32, "cur_set_id"},   {21, O, Str, "three_category"},
        {22, O, Str, "tv_versions"},    {23, O, I32, "content_type"}, {24, O, I32, "source_id"},
        {25, O, Str, "source_name"},    {26, O, Str, "tv_year"},      {27, O, Str, "play_time"},
        {28, O, Str, "tag"},            {29, O, Str, "comment"},      {30, O, Str, "issue_time"},
        {31, O, Str, "copyright"},      {32, O, Str, "directors"},    {33, O, Str, "main_actors"},
        {34, O, Str, "actor"},          {35, O, Str, "composers"},    {36, O, Str, "lyricists"},
        {37, O, Str, "cr_start_date"},  {38, O, Str, "cr_end_date"},  {40, O, Str, "keyword"},
        {41, O, Bool, "ip_limit"},      {42, O, I32, "SD"},           {43, O, Str, "play_url"}}},
      {"VRSProto1.AlbumList", "album.proto", {{1, R, Str, "pb_version"}, {2, P, Msg, "album", "VRSProto1.Album"}}},
      {"VRSProto1.BigAlbum", "album.proto",
       {{1, R, Str, "pb_version"}, {2, R, Str, "timestamp"}, {3, R, I32, "id"}, {4, R, Str, "name"},
        {5, R, Msg, "album", "VRSProto1.Album"}, {40, O, Msg, "video_list", "VRSProto1.VideoList"}}},
      {"VRSProto1.LatestVideo", "album.proto",
       {{1, R, I32, "album_id"}, {2, R, I32, "tv_id"}, {3, R, Str, "vid"}, {4, O, I32, "video_count"},
        {5, O, I32, "video_count_updateto"}, {6, O, I32, "category_id"}}},
  };
  return schema;
}

// The files protoc compiled the program's classes from, with their imports.
const DescriptorPool& SchemaPool() {
  static const auto pool = [] {
    auto built = std::make_unique<DescriptorPool>();
    std::ifstream file(VX_PB_DESCRIPTOR_SET, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    google::protobuf::FileDescriptorSet files;
    if (files.ParseFromString(bytes)) {
      for (const auto& proto : files.file()) built->BuildFile(proto);
    }
    return built;
  }();
  return *pool;
}

const Descriptor* Find(const char* fullName) { return SchemaPool().FindMessageTypeByName(fullName); }

// An encoding read by the program's own class of the message, and written again.
struct ProgramRoundTrip {
  bool parsed = false;
  std::string written;
  size_t unknownBytes = 0;
};

template <typename Class>
ProgramRoundTrip ThroughClass(const std::string& encoded) {
  Class message;
  ProgramRoundTrip result;
  result.parsed = message.ParseFromString(encoded);
  result.written = message.SerializeAsString();
  result.unknownBytes = message.unknown_fields().size();
  return result;
}

std::optional<ProgramRoundTrip> ThroughProgramClass(const std::string& fullName, const std::string& encoded) {
  using RoundTrip = ProgramRoundTrip (*)(const std::string&);
  static const std::map<std::string, RoundTrip> classes = {
      {"VRSProto1.SourceVideoList", &ThroughClass<VRSProto1::SourceVideoList>},
      {"VRSProto1.VideoList", &ThroughClass<VRSProto1::VideoList>},
      {"VRSProto1.Video", &ThroughClass<VRSProto1::Video>},
      {"VRSProto1.VidList", &ThroughClass<VRSProto1::VidList>},
      {"VRSProto1.VidList.Vid", &ThroughClass<VRSProto1::VidList_Vid>},
      {"VRSProto1.AttrTuple", &ThroughClass<VRSProto1::AttrTuple>},
      {"VRSProto1.SmallAlbum", &ThroughClass<VRSProto1::SmallAlbum>},
      {"VRSProto1.Album", &ThroughClass<VRSProto1::Album>},
      {"VRSProto1.AlbumList", &ThroughClass<VRSProto1::AlbumList>},
      {"VRSProto1.BigAlbum", &ThroughClass<VRSProto1::BigAlbum>},
      {"VRSProto1.LatestVideo", &ThroughClass<VRSProto1::LatestVideo>},
  };
  const auto found = classes.find(fullName);
  if (found == classes.end()) return std::nullopt;
  return found->second(encoded);
}

TEST(CatalogueSchemaTest, FilesArePackageVRSProto1InProto2AndAlbumImportsVideo) {
  const auto* video = SchemaPool().FindFileByName("video.proto");
  const auto* album = SchemaPool().FindFileByName("album.proto");
  ASSERT_NE(video, nullptr);
  ASSERT_NE(album, nullptr);
  for (const auto* file : {video, album}) {
    EXPECT_EQ(file->package(), "VRSProto1");
    EXPECT_EQ(file->syntax(), google::protobuf::FileDescriptor::SYNTAX_PROTO2);
    EXPECT_EQ(file->options().optimize_for(), google::protobuf::FileOptions::LITE_RUNTIME);
  }
  ASSERT_EQ(album->dependency_count(), 1);
  EXPECT_EQ(album->dependency(0), video);
  EXPECT_EQ(video->dependency_count(), 0);
  EXPECT_EQ(video->message_type_count() + album->message_type_count(), 10);  // VidList.Vid is nested
}

TEST(CatalogueSchemaTest, EveryMessageHasExactlyItsFieldsWithNumberLabelTypeAndName) {
  for (const MessageSpec& spec : Schema()) {
    SCOPED_TRACE(spec.fullName);
    const Descriptor* message = Find(spec.fullName);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->file()->name(), spec.file);
    EXPECT_EQ(message->field_count(), static_cast<int>(spec.fields.size()));
    for (const FieldSpec& expected : spec.fields) {
      SCOPED_TRACE(expected.name);
      const FieldDescriptor* field = message->FindFieldByNumber(expected.number);
      ASSERT_NE(field, nullptr);
      EXPECT_EQ(field->name(), expected.name);
      EXPECT_EQ(field->label(), expected.label);
      EXPECT_EQ(field->type(), expected.type);
      if (expected.messageType) {
        ASSERT_NE(field->message_type(), nullptr);
        EXPECT_EQ(field->message_type()->full_name(), expected.messageType);
      }
    }
  }
  EXPECT_EQ(Find("VRSProto1.Video")->FindFieldByNumber(12), nullptr);
  EXPECT_EQ(Find("VRSProto1.Album")->FindFieldByNumber(39), nullptr);
  EXPECT_EQ(Find("VRSProto1.VidList.Vid")->containing_type(), Find("VRSProto1.VidList"));
}

TEST(CatalogueSchemaTest, OnlyAttrTupleValueHasAnExplicitDefaultAndItIsEmpty) {
  const FieldDescriptor* value = Find("VRSProto1.AttrTuple")->FindFieldByName("value");
  ASSERT_NE(value, nullptr);
  EXPECT_TRUE(value->has_default_value());
  EXPECT_EQ(value->default_value_string(), "");
  EXPECT_EQ(VRSProto1::AttrTuple().value(), "");  // the program's class agrees

  for (const MessageSpec& spec : Schema()) {
    const Descriptor* message = Find(spec.fullName);
    ASSERT_NE(message, nullptr);
    for (int i = 0; i < message->field_count(); ++i) {
      const FieldDescriptor* field = message->field(i);
      if (field == value) continue;
      EXPECT_FALSE(field->has_default_value()) << field->full_name();
    }
  }
}

void FillEveryField(Message& message, int seed);

// Sets (or, for a repeated field, adds) one value that depends on `value`.
void Put(Message& message, const FieldDescriptor* field, int value) {
  const auto* reflection = message.GetReflection();
  const bool repeated = field->is_repeated();
  switch (field->cpp_type()) {
    case FieldDescriptor::CPPTYPE_INT32:
      if (repeated) reflection->AddInt32(&message, field, -value);
      else reflection->SetInt32(&message, field, -value);
      return;
    case FieldDescriptor::CPPTYPE_BOOL:
      if (repeated) reflection->AddBool(&message, field, true);
      else reflection->SetBool(&message, field, true);
      return;
    case FieldDescriptor::CPPTYPE_FLOAT:
      if (repeated) reflection->AddFloat(&message, field, value + 0.5f);
      else reflection->SetFloat(&message, field, value + 0.5f);
      return;
    case FieldDescriptor::CPPTYPE_STRING: {
      const std::string text = field->name() + "-" + std::to_string(value) + "-\xE4\xB8\xAD";
      if (repeated) reflection->AddString(&message, field, text);
      else reflection->SetString(&message, field, text);
      return;
    }
    case FieldDescriptor::CPPTYPE_MESSAGE:
      FillEveryField(repeated ? *reflection->AddMessage(&message, field) : *reflection->MutableMessage(&message, field),
                     value % 100000);
      return;
    default:
      ADD_FAILURE() << "unexpected type of " << field->full_name();
  }
}

// Sets every field of `message` (two elements of each repeated one) to values that depend on
// the field's number, nested messages included.
void FillEveryField(Message& message, int seed) {
  const Descriptor* type = message.GetDescriptor();
  for (int i = 0; i < type->field_count(); ++i) {
    const FieldDescriptor* field = type->field(i);
    const int count = field->is_repeated() ? 2 : 1;
    for (int n = 0; n < count; ++n) Put(message, field, seed * 1000 + field->number() * 10 + n);
  }
}

// Every field set, read by the program's class and written again: nothing is lost, and
// nothing is kept as an unknown field.
TEST(CatalogueSchemaTest, EveryMessageSurvivesTheProgramsClassesWithEveryField) {
  google::protobuf::DynamicMessageFactory factory(&SchemaPool());
  for (const MessageSpec& spec : Schema()) {
    SCOPED_TRACE(spec.fullName);
    const Descriptor* type = Find(spec.fullName);
    ASSERT_NE(type, nullptr);
    const Message* prototype = factory.GetPrototype(type);
    std::unique_ptr<Message> original(prototype->New());
    FillEveryField(*original, 1);
    ASSERT_TRUE(original->IsInitialized());

    const auto program = ThroughProgramClass(spec.fullName, original->SerializeAsString());
    ASSERT_TRUE(program.has_value());
    ASSERT_TRUE(program->parsed);
    EXPECT_EQ(program->unknownBytes, 0u);
    std::unique_ptr<Message> decoded(prototype->New());
    ASSERT_TRUE(decoded->ParseFromString(program->written));
    EXPECT_TRUE(google::protobuf::util::MessageDifferencer::Equals(*original, *decoded));
  }
}

TEST(CatalogueSchemaTest, LatestVideoEncodesToTheWireBytesOfItsFieldNumbers) {
  VRSProto1::LatestVideo latest;
  latest.set_album_id(123);
  latest.set_tv_id(4567);
  latest.set_vid("v");
  latest.set_video_count(40);
  latest.set_video_count_updateto(12);
  latest.set_category_id(2);
  const std::string expected("\x08\x7B" "\x10\xD7\x23" "\x1A\x01v" "\x20\x28" "\x28\x0C" "\x30\x02", 14);
  EXPECT_EQ(latest.SerializeAsString(), expected);
}

}  // namespace
