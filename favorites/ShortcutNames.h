// Names and addresses of desktop shortcuts. Windows-free.
#pragma once

#include <string>

inline constexpr wchar_t kSourceTagArguments[] = L"&src=fromtailcast";

// Replaces each of \ / ? * < > : " | by `replacement`, keeping the length. Control
// characters become `replacement` too, and a name Windows reserves for a device
// ("CON", "NUL", "COM1" ...) gets "_" appended, so the file can be written.
void SanitizeFileName(std::wstring& text, wchar_t replacement);

// The address with the source tag: "?src=fromtailcast", or "&src=..." when it has a "?".
std::wstring WithSourceTag(const std::wstring& address);

// What a shortcut points at: a web address ("scheme://...") with the source tag, anything
// else (the client program's path) as it is, so that a client shortcut stays startable.
std::wstring LinkTarget(const std::wstring& target);

// The longest path a shortcut file may have: Windows' MAX_PATH less the terminating NUL.
inline constexpr size_t kLongestShortcutPath = 259;

// folder + "\" + name + suffix + ".lnk", with the name shortened (never inside a surrogate
// pair) so that the path has at most `longest` characters; "" when the folder leaves no room
// for a single character of the name.
std::wstring ShortcutPathFor(const std::wstring& folder, const std::wstring& name, const std::wstring& suffix = L"",
                             size_t longest = kLongestShortcutPath);

// "pic/a.jpg" + "_128_128" -> "pic/a_128_128.jpg"; empty for an empty address or one without a dot.
std::string InsertPictureSuffix(const std::string& url, const std::string& suffix);
