// The tests' side of the local service emulator (tools/emulator): its address comes from
// VXTAILCAST_SERVICE_URL, set by tools/with-emulator.sh; its control requests live below
// "/__emu/".
#pragma once

#include <json/json.h>

#include <optional>
#include <string>

namespace vxtest {

// "http://127.0.0.1:<port>", or empty when no emulator was started for the tests.
std::string EmulatorOrigin();

struct EmulatorAnswer {
  unsigned status = 0;  // 0: no answer
  std::string body;
};

EmulatorAnswer EmulatorRequest(const char* verb, const std::string& path, const std::string& body = {});

// The control answer as JSON; null when the request failed or the body is no JSON.
Json::Value EmulatorJson(const char* verb, const std::string& path, const std::string& body = {});

// Pingbacks received so far, in arrival order (each {"path","query":{..},"headers":{..}}).
Json::Value ReceivedPingbacks();
void ForgetPingbacks();
// Waits until a pingback with this action code ("a") arrived; its query fields, if any.
std::optional<Json::Value> WaitForPingback(const std::string& action, unsigned timeoutMs);

void SetPlayHistory(const std::string& cookie, const Json::Value& records);
// A history of one played episode; a null `tvId` leaves the field out.
void SetOneRecordHistory(const std::string& cookie, const char* albumId, const char* tvId, const char* videoUrl);
void ResetEmulator();

// The service turns dead: it takes every request and never answers, until the silence is
// lifted (a reset lifts it too; held connections are then closed unanswered).
void SilenceService();
void LiftSilence();
// Waits until a service request whose path starts with `prefix` arrived (answered or held).
bool WaitForRequest(const std::string& prefix, unsigned timeoutMs);

// The bodies the emulator generates for its sized pictures: byte i is i % 251.
std::string EmulatorPattern(size_t count);

}  // namespace vxtest
