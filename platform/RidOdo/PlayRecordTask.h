// The user's play history: one query asks the service with the login cookie and ends in
// exactly one call of the handler, on a library thread; in none once the network is abandoned
// at the end of the process.
#pragma once

#include <string>
#include <vector>

struct PlayRecord {
  std::wstring albumId;   // decimal
  std::wstring tvId;      // decimal, may be empty
  std::wstring videoUrl;  // the address of the episode last played
};

enum PlayRecordResultCode {
  kPlayRecordOk = 0,
  kPlayRecordFailed = 1,       // no answer, an error status or an unreadable body
  kPlayRecordNotLoggedIn = 2,  // the service did not accept the cookie
};

class IPlayRecordHandler {
public:
  // `value` is the HTTP status of the answer (0 when none arrived).
  virtual void OnPlayRecordResult(int code, int value, const std::vector<PlayRecord>& records) = 0;

protected:
  ~IPlayRecordHandler() = default;
};

class CPlayRecordTask {
public:
  static constexpr unsigned kTimeoutMs = 10000;

  // Returns at once; false (and no call) only without a handler.
  bool QueryRecords(IPlayRecordHandler* handler, const std::wstring& cookie, int count);
};
