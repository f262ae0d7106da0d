// The library's one transport: a blocking HTTP GET with a time-out over the whole
// exchange, run on the calling thread (one of the library's own).
#pragma once

#include <string>
#include <vector>

struct HttpCall {
  std::string url;
  std::string headers;  // extra request headers, each ending in "\r\n"
  unsigned timeoutMs = 0;  // 0: the transport's default
};

struct HttpAnswer {
  bool transferred = false;  // an answer arrived whole, within the time-out
  unsigned status = 0;
  std::string headers;       // the raw response headers
  std::vector<char> body;

  bool Succeeded() const { return transferred && status >= 200 && status <= 299; }
};

HttpAnswer HttpGet(const HttpCall& call);
