#include <winsock2.h>
#include <ws2tcpip.h>

#include "tests/support/LoopbackHttpServer.h"

namespace vxtest {

namespace {

const char* ReasonOf(int status) {
  switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 206: return "Partial Content";
    case 404: return "Not Found";
    default: return "Status";
  }
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
  WSADATA wsa;
  if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return;
  const SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) return;
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;  // any free port
  int length = sizeof address;
  if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, 8) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::closesocket(listener);
    return;
  }
  m_port = ntohs(address.sin_port);
  m_listener = listener;
  m_thread = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  m_stopping = true;
  if (IsListening()) ::closesocket(static_cast<SOCKET>(m_listener));  // ends the blocking accept
  if (m_thread.joinable()) m_thread.join();
  ::WSACleanup();
}

std::wstring LoopbackHttpServer::Url(const std::string& path) const {
  return L"http://127.0.0.1:" + std::to_wstring(m_port) + std::wstring(path.begin(), path.end());
}

void LoopbackHttpServer::Answer(const std::string& path, int status, const std::string& body) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_answers[path] = {status, body};
}

int LoopbackHttpServer::RequestCount(const std::string& path) const {
  std::lock_guard<std::mutex> lock(m_lock);
  const auto found = m_requests.find(path);
  return found == m_requests.end() ? 0 : found->second;
}

void LoopbackHttpServer::Serve() {
  while (!m_stopping) {
    const SOCKET client = ::accept(static_cast<SOCKET>(m_listener), nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    HandleOne(client);
    ::closesocket(client);
  }
}

void LoopbackHttpServer::HandleOne(unsigned long long clientSocket) {
  const SOCKET client = static_cast<SOCKET>(clientSocket);
  std::string request;
  char buffer[2048];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
    const int got = ::recv(client, buffer, sizeof buffer, 0);
    if (got <= 0) return;
    request.append(buffer, static_cast<size_t>(got));
  }
  const size_t pathStart = request.find(' ') + 1;
  const std::string path = request.substr(pathStart, request.find(' ', pathStart) - pathStart);

  std::pair<int, std::string> answer{404, "not found"};
  {
    std::lock_guard<std::mutex> lock(m_lock);
    ++m_requests[path];
    const auto found = m_answers.find(path);
    if (found != m_answers.end()) answer = found->second;
  }
  const bool noBody = answer.first == 204;
  std::string response = "HTTP/1.1 " + std::to_string(answer.first) + " " + ReasonOf(answer.first) + "\r\n";
  if (!noBody) response += "Content-Length: " + std::to_string(answer.second.size()) + "\r\n";
  response += "Connection: close\r\n\r\n";
  if (!noBody) response += answer.second;
  for (size_t sent = 0; sent < response.size();) {
    const int put = ::send(client, response.data() + sent, static_cast<int>(response.size() - sent), 0);
    if (put <= 0) return;
    sent += static_cast<size_t>(put);
  }
  ::shutdown(client, SD_SEND);
}

}  // namespace vxtest
