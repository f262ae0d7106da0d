// Asynchronous requests: a consumer owns a CTaskModule, sets its callback once and starts
// requests with GetRes. Each request runs on the library's threads and ends in exactly one
// callback, with the body on success; once the network is abandoned at the end of the process
// (common/OpenInternetHandles.h), in none.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The response headers of a finished request.
class CHttpPacketData {
public:
  virtual ~CHttpPacketData() = default;
  virtual bool IsChunked() const { return false; }

  unsigned status = 0;
  std::string headers;
};

// One request's argument: allocated by the caller, held by the library until the callback.
class CResourceArg {
public:
  explicit CResourceArg(int requestId, int requestMode = 2, int callerTag = 0)
      : id(requestId), mode(requestMode), tag(callerTag) {}
  virtual ~CResourceArg() = default;

  const char* Buffer() const { return m_buffer.data(); }
  size_t Length() const { return m_buffer.size(); }
  void SetBody(std::vector<char> body) { m_buffer = std::move(body); }

  int id;
  int mode;
  int tag;
  std::string url;  // the requested address, once the callback arrives
  CHttpPacketData packet;

private:
  std::vector<char> m_buffer;
};

struct CResourceRequest {
  std::string url;
  std::string requestData;  // query parameters sent with the address ("auth=..", "&ckuid=..")
  std::string extra;
  bool flag = true;
  unsigned timeoutMs = 0;   // 0: the library's default
};

class IResourceCallback {
public:
  // `failed` is non-zero when the request did not bring a 2xx answer within its time-out.
  virtual int OnResCallback(int failed, CResourceArg* arg) = 0;

protected:
  ~IResourceCallback() = default;
};

class CTaskModule {
public:
  static constexpr unsigned kDefaultTimeoutMs = 30000;

  // A module has no thread of its own: its requests run on the library's shared pool.
  CTaskModule();
  // Callbacks already running finish first; later ones are dropped and their arguments released.
  ~CTaskModule();
  CTaskModule(const CTaskModule&) = delete;
  CTaskModule& operator=(const CTaskModule&) = delete;

  void SetCallback(IResourceCallback* callback);
  // Returns at once; false (and no callback) only without an argument. The argument is the
  // library's from here on: the callback gets it, or the library frees it when no callback
  // comes.
  bool GetRes(const CResourceRequest& request, CResourceArg* arg);
  bool GetRes(const CResourceRequest& request, std::unique_ptr<CResourceArg> arg);
  // Requests that have not started yet end with a failure callback instead.
  void Stop();
  void StopUrl(const std::string& url);

  struct State;

private:
  std::shared_ptr<State> m_state;
};
