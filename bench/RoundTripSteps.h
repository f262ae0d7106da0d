// The steps of a favourite's round trip (hand-off to the renamed .lnk with its album icon),
// each timed alone through the program's own code: the floor the round trip is held against.
#pragma once

#include <string>

namespace vxbench {

struct RoundTripSteps {
  double pictureFetchMs = 0;  // the album picture over loopback HTTP, to a file
  double iconMs = 0;          // the album icon (four sizes) composed from it
  double badgeIconMs = 0;     // the "update" badge icon made from the album icon
  double catalogueMs = 0;     // the catalogue's latest-episode answer, fetched and read
  double firstSaveMs = 0;     // the first .lnk
  double renamedSaveMs = 0;   // the .lnk saved under its new name with the album icon, the old one removed

  double Sum() const {
    return pictureFetchMs + iconMs + badgeIconMs + catalogueMs + firstSaveMs + renamedSaveMs;
  }
};

// Medians of each step over `rounds` rounds, for the albums firstAlbum, firstAlbum + 1, ...
// (which the catalogue must know), with the picture at `pictureUrl`. Files go to the temporary
// folder and the desktop and are removed. False, with `why` set, when a step failed: then the
// sum is no floor. COM and GDI+ must be started by the caller.
bool MeasureRoundTripSteps(const std::wstring& pictureUrl, int firstAlbum, int rounds, RoundTripSteps& medians,
                           std::string& why);

}  // namespace vxbench
