// A small HTTP server on 127.0.0.1 for tests: each path answers with a fixed status and
// body. Serves one connection at a time on its own thread until destroyed.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace vxtest {

class LoopbackHttpServer {
public:
  LoopbackHttpServer();
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  bool IsListening() const { return m_listener != ~0ull; }
  // "http://127.0.0.1:<port>" + path
  std::wstring Url(const std::string& path) const;
  void Answer(const std::string& path, int status, const std::string& body);
  int RequestCount(const std::string& path) const;

private:
  void Serve();
  void HandleOne(unsigned long long client);

  unsigned long long m_listener = ~0ull;  // SOCKET, kept out of the header
  int m_port = 0;
  std::atomic<bool> m_stopping{false};
  mutable std::mutex m_lock;
  std::map<std::string, std::pair<int, std::string>> m_answers;
  std::map<std::string, int> m_requests;
  std::thread m_thread;
};

}  // namespace vxtest
