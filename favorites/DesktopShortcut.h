// Writing desk favourites as .lnk files on the user's desktop.
#pragma once

#include <memory>
#include <string>

#include "common/WorkerThread.h"
#include "favorites/DeskFavorInfo.h"

// The user's desktop folder, or "" when the shell cannot tell.
std::wstring GetDesktopDirectory();

// Writes desktop + "\" + name + ".lnk" (the target gets the source tag); returns its
// path, or "" on any failure.
std::wstring CreateDesktopShotCut(const std::wstring& name, std::wstring arguments, const std::wstring& iconPath,
                                  const std::wstring& target, const std::wstring& workingDir);

// The whole favourite: the shortcut and its store row. Returns the length of the .lnk
// path written, 0 when no shortcut was written.
int CreateDeskFavor(const DeskFavorRequest* request);

// The steps of a favourite's road: a new favourite takes them all; completing one later only
// those it still lacks.
enum IconTaskStep : unsigned {
  kComposeIcon = 1,    // the album icon file (and its badge beside it), when missing
  kShowAlbumIcon = 2,  // the shortcut shows the album icon instead of the provisional one
  kCountEpisodes = 4,  // the catalogue's episode count in the shortcut's name
  kPointAtPlayPage = 8,  // a web favourite: the catalogue's album information (its play page)
  kEveryStep = 15,
};

// What a new favourite's icon task is given, in the order the writer supplies it.
struct IconTaskRequest {
  int AlbumID = 0;
  std::string PicUrl;  // ANSI, with the "_128_128" size suffix
  std::wstring LnkPath;
  std::wstring AlbumName;  // the clean name
  std::wstring Target;     // without the source tag
  std::wstring WorkingDir;
  std::wstring Arguments;
  int Episodic = 0;
  int InfoType = 0;
  unsigned Steps = kEveryStep;
  std::wstring ShownIcon;  // the icon a renamed shortcut keeps (a badge); "": the album icon
};

// The program installs the maker of its icon task once, at start; without one, favourites
// keep their provisional icon.
using IconTaskMaker = std::unique_ptr<ITaskSample> (*)(const IconTaskRequest& request);
void SetIconTaskMaker(IconTaskMaker maker);

// The one background worker that runs icon tasks in creation order; created on first use.
CWorkerThread* IconWorker();
