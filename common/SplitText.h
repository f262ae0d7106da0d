// Splitting a text on a separator, dropping empty pieces. Windows-free.
#pragma once

#include <string>
#include <vector>

// Appends the non-empty pieces of `text` between occurrences of `separator` to `pieces`.
// An empty separator yields the whole text as one piece (when it is not empty).
void SplitText(const std::wstring& text, const std::wstring& separator, std::vector<std::wstring>& pieces);
