#include "platform/RidOdo/PingbackQuery.h"

#include "platform/RidOdo/UrlText.h"

namespace {

void Add(std::string& query, const char* name, const std::string& value) {
  if (!query.empty()) query += '&';
  query += name;
  query += '=';
  query += PercentEncode(value);
}

}  // namespace

std::string PingbackQuery(const LogParamInfo& info, int isTailcast, unsigned nonce) {
  std::string query;
  Add(query, "t", std::to_string(info.logParamType));
  Add(query, "login", info.isLogin ? "1" : "0");
  Add(query, "a", info.action);
  Add(query, "p1", std::to_string(info.param1));
  Add(query, "p2", std::to_string(info.param2));
  Add(query, "p3", std::to_string(info.param3));
  Add(query, "p4", std::to_string(info.param4));
  Add(query, "uid", info.userId);
  Add(query, "ext", info.extra);
  Add(query, "uuid", info.uuid);
  Add(query, "tc", std::to_string(isTailcast));
  Add(query, "rn", std::to_string(nonce));
  return query;
}
