// The albums of the many-favourites run: who they are, what a second start hands over for
// each, and what the emulator must know of them. The kind follows from the id, so the
// checking script can tell each album's expected shortcut name by the same rule.
#pragma once

#include <string>
#include <vector>

// id % 3 == 0: still running, 12 of 40 episodes out, renamed " 更新至12集";
// id % 3 == 1: complete, renamed " 40集全"; id % 3 == 2: a film (channel 1), keeps its name.
struct ThousandAlbum {
  int id = 0;

  std::wstring Name() const;      // "Thousand <id>"
  std::wstring FileName() const;  // the shortcut's final file name, without ".lnk"
  int Channel() const;
  std::string PlayPage() const;   // the catalogue's play page, the shortcut's final address
  std::string FirstPage() const;  // the address the favourite is handed over with
};

std::vector<ThousandAlbum> ThousandAlbumsFrom(int first, int count);

// The favourite text a second start hands over, its picture on the emulator at `origin`.
std::wstring FavoriteText(const ThousandAlbum& album, const std::wstring& origin);

// The emulator's batch request: each album's catalogue entry and its 128-pixel picture.
std::string EmulatorBatch(const std::vector<ThousandAlbum>& albums);
