#include "common/SplitText.h"

void SplitText(const std::wstring& text, const std::wstring& separator, std::vector<std::wstring>& pieces) {
  if (separator.empty()) {
    if (!text.empty()) pieces.push_back(text);
    return;
  }
  size_t start = 0;
  for (size_t found = text.find(separator, start); found != std::wstring::npos;
       found = text.find(separator, start)) {
    if (found > start) pieces.push_back(text.substr(start, found - start));
    start = found + separator.size();
  }
  if (start < text.size()) pieces.push_back(text.substr(start));
}
