// Telling this program's shortcuts among the desktop's .lnk files and reading a store row
// back from one, for a store that had to be rebuilt. Windows-free: the caller reads the
// link's fields through the shell.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What a .lnk file holds, as the shell reads it back.
struct LinkFacts {
  std::wstring file;         // the .lnk's path
  std::wstring targets[4];   // the target as the shell can spell it (path, URL, parsing names), any may be ""
  std::wstring arguments;
  std::wstring iconLocation;
  std::wstring description;
};

// The album id of an album icon ("album_<id>.ico", or the badge "updatealbum_<id>.ico") that lies
// in `iconFolder` (with its trailing backslash); nullopt for any other icon. Case does not matter.
std::optional<int32_t> AlbumIdOfIcon(const std::wstring& iconLocation, const std::wstring& iconFolder);

// The first web address ("http://" or "https://", any case) in `text`, from its scheme on; "".
std::wstring WebAddressIn(const std::wstring& text);

// The address without the source tag the shortcut writer appended ("?src=fromtailcast" or
// "&src=fromtailcast" at its end).
std::wstring WithoutSourceTag(const std::wstring& address);

// A shortcut's store row as the wide texts a row is made of; the caller converts them.
struct RecoveredShortcut {
  std::wstring lnk, iconName, albumName, tips, startupParams, videoUrl;
  int32_t albumId = 0;
  int32_t finished = 0;  // the title says the album is complete (" <n>集全")
  int32_t infoType = 0;  // 0: a web address; 1: the client program
};

// The row of one of this program's shortcuts: ours when its icon is an album icon in the client's
// icon folder. Album name from the description (none: not ours), web or client from the target,
// the address from the target without its tag, the title from the file name.
std::optional<RecoveredShortcut> RecoverShortcut(const LinkFacts& link, const std::wstring& iconFolder);
