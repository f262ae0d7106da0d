// Building request addresses: query values are sent as UTF-8, percent-encoded.
#pragma once

#include <string>

std::string PercentEncode(const std::string& text);

// `url` with `query` appended after "?" (or "&" when it already has a query). A leading
// "?" or "&" of `query` is dropped; an empty query leaves `url` as it is.
std::string AppendQuery(const std::string& url, std::string query);
