#include "tests/support/EmulatorClient.h"

#include <windows.h>
#include <wininet.h>

#include <cstdlib>

#include "common/JsonText.h"
#include "common/ScopedInternet.h"
#include "common/TextConvert.h"
#include "tests/support/ProcessHarness.h"

namespace vxtest {

namespace {

struct Origin {
  std::wstring host;
  INTERNET_PORT port = 0;
};

std::optional<Origin> ParseOrigin() {
  const std::string origin = EmulatorOrigin();
  const std::string prefix = "http://";
  if (origin.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
  const std::string authority = origin.substr(prefix.size());
  const size_t colon = authority.rfind(':');
  if (colon == std::string::npos) return std::nullopt;
  return Origin{Utf8ToWide(authority.substr(0, colon)),
                static_cast<INTERNET_PORT>(std::atoi(authority.substr(colon + 1).c_str()))};
}

std::string ReadAll(HINTERNET request) {
  std::string body;
  char buffer[8192];
  DWORD read = 0;
  while (::InternetReadFile(request, buffer, sizeof buffer, &read) && read > 0) body.append(buffer, read);
  return body;
}

}  // namespace

std::string EmulatorOrigin() {
  const char* origin = std::getenv("VXTAILCAST_SERVICE_URL");
  std::string text = origin ? origin : "";
  while (!text.empty() && text.back() == '/') text.pop_back();
  return text;
}

EmulatorAnswer EmulatorRequest(const char* verb, const std::string& path, const std::string& body) {
  EmulatorAnswer answer;
  const std::optional<Origin> origin = ParseOrigin();
  if (!origin) return answer;
  ScopedInternet session(::InternetOpenW(L"vxtests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  ScopedInternet connection(session ? ::InternetConnectW(session.Get(), origin->host.c_str(), origin->port, nullptr,
                                                         nullptr, INTERNET_SERVICE_HTTP, 0, 0)
                                    : nullptr);
  if (!connection) return answer;
  const std::wstring verbText = Utf8ToWide(verb);
  const std::wstring object = Utf8ToWide(path);
  ScopedInternet request(::HttpOpenRequestW(connection.Get(), verbText.c_str(), object.c_str(), nullptr, nullptr,
                                            nullptr, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
  if (!request) return answer;
  const wchar_t headers[] = L"Content-Type: application/json\r\n";
  if (!::HttpSendRequestW(request.Get(), headers, static_cast<DWORD>(-1), const_cast<char*>(body.data()),
                          static_cast<DWORD>(body.size()))) {
    return answer;
  }
  DWORD status = 0, length = sizeof status;
  ::HttpQueryInfoW(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length, nullptr);
  answer.status = status;
  answer.body = ReadAll(request.Get());
  return answer;
}

Json::Value EmulatorJson(const char* verb, const std::string& path, const std::string& body) {
  const EmulatorAnswer answer = EmulatorRequest(verb, path, body);
  Json::Value root;
  if (answer.status == 0 || !ParseJsonText(answer.body, root)) return Json::Value();
  return root;
}

Json::Value ReceivedPingbacks() { return EmulatorJson("GET", "/__emu/pingbacks"); }

void ForgetPingbacks() { EmulatorRequest("DELETE", "/__emu/pingbacks"); }

std::optional<Json::Value> WaitForPingback(const std::string& action, unsigned timeoutMs) {
  std::optional<Json::Value> found;
  WaitUntil(
      [&] {
        for (const Json::Value& pingback : ReceivedPingbacks()) {
          if (pingback["query"]["a"].asString() == action) {
            found = pingback["query"];
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

void SetPlayHistory(const std::string& cookie, const Json::Value& records) {
  Json::Value body;
  body["cookie"] = cookie;
  body["records"] = records;
  EmulatorRequest("POST", "/__emu/playhistory", Json::writeString(Json::StreamWriterBuilder(), body));
}

void SetOneRecordHistory(const std::string& cookie, const char* albumId, const char* tvId, const char* videoUrl) {
  Json::Value records(Json::arrayValue);
  Json::Value& record = records.append(Json::objectValue);
  record["albumId"] = albumId;
  if (tvId) record["tvId"] = tvId;
  record["videoUrl"] = videoUrl;
  SetPlayHistory(cookie, records);
}

void ResetEmulator() { EmulatorRequest("POST", "/__emu/reset"); }

void SilenceService() { EmulatorRequest("POST", "/__emu/silence"); }

void LiftSilence() { EmulatorRequest("DELETE", "/__emu/silence"); }

bool WaitForRequest(const std::string& prefix, unsigned timeoutMs) {
  return WaitUntil([&] { return EmulatorJson("GET", "/__emu/requests?prefix=" + prefix).size() > 0; }, timeoutMs);
}

std::string EmulatorPattern(size_t count) {
  std::string body(count, '\0');
  for (size_t i = 0; i < count; ++i) body[i] = static_cast<char>(i % 251);
  return body;
}

}  // namespace vxtest
