#include "platform/RidOdo/PlayRecordAnswer.h"

#include "common/JsonText.h"

namespace {

constexpr char kSuccessCode[] = "A00000";
constexpr char kNotLoggedInCode[] = "E00001";

// An id may arrive as text or as a non-negative whole number.
std::string IdText(const Json::Value& value) {
  if (value.isString()) {
    const std::string text = value.asString();
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return {};
    return text;
  }
  if (value.isUInt64()) return std::to_string(value.asUInt64());
  return {};
}

bool ReadRecord(const Json::Value& item, PlayRecordText& record) {
  if (!item.isObject()) return false;
  record.albumId = IdText(item["albumId"]);
  record.tvId = IdText(item["tvId"]);
  const Json::Value& url = item["videoUrl"];
  record.videoUrl = url.isString() ? url.asString() : std::string();
  return !record.albumId.empty() && !record.videoUrl.empty();
}


}  // namespace

PlayRecordAnswerStatus ParsePlayRecordAnswer(const std::string& body, size_t limit,
                                             std::vector<PlayRecordText>& records) {
  records.clear();
  Json::Value root;
  if (!ParseJsonText(body, root) || !root.isObject()) return PlayRecordAnswerStatus::Unreadable;
  const Json::Value& code = root["code"];
  if (code.isString() && code.asString() == kNotLoggedInCode) return PlayRecordAnswerStatus::NotLoggedIn;
  if (!code.isString() || code.asString() != kSuccessCode) return PlayRecordAnswerStatus::Unreadable;
  const Json::Value& data = root["data"];
  if (data.isNull()) return PlayRecordAnswerStatus::Records;
  if (!data.isArray()) return PlayRecordAnswerStatus::Unreadable;
  for (const Json::Value& item : data) {
    if (records.size() >= limit) break;
    PlayRecordText record;
    if (ReadRecord(item, record)) records.push_back(std::move(record));
  }
  return PlayRecordAnswerStatus::Records;
}
