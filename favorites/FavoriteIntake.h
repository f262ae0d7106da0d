// Favourites as they reach the running program (a favourite text handed over, the web
// player's shared object at start-up) and their removal when the program is uninstalled.
#pragma once

#include <string>

// A favourite text from the command line or a second start. True when its shortcut was written;
// text that is no favourite writes nothing.
bool TakeFavoriteText(const std::wstring& text);

// The favourite that the web player left in its shared object. Once taken, its files are
// deleted whatever the text gave, so that it is not offered again at the next start.
void TakeFlashFavorite();

// Deletes every remembered shortcut that is still on the desktop; the store keeps its rows.
void RemoveDeskFavorites();
