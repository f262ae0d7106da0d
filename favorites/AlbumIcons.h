// The icon files of desk favourites in the client's icon folder: "album_<id>.ico", composed
// once from the album picture, and the badge icon "updatealbum_<id>.ico" beside it.
#pragma once

#include <string>

// "<icon folder>album_<id>.ico". An existing file is reused; otherwise it is composed from
// the picture (black corners). The path is returned whether or not the file could be made;
// empty when there is no icon folder or the composition failed unexpectedly.
std::wstring MakeAlbumIconFile(int albumId, const std::string& picUrlAnsi, int episodic);

// Writes "update<name>" beside an existing album icon `iconPath` (overwriting an older one).
void MakeUpdateIconFile(const std::wstring& iconPath);

// The badge icon's path for an album icon path: "update" put in front of the file name.
std::wstring UpdateIconPathFor(const std::wstring& iconPath);

// The album's plain and badge icon beside an icon the shortcut shows, whichever of the two it is.
std::wstring AlbumIconBeside(const std::wstring& iconName, int albumId);
std::wstring BadgeIconBeside(const std::wstring& iconName, int albumId);
// True when the icon's file name marks it as a badge icon.
bool IsBadgeIcon(const std::wstring& iconName);
