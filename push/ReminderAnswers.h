// The feed's and its pictures' answers on their way from the network thread, where their
// bodies are read, to the reminder controller's window, where they are shown. Each is the
// request's own argument, handed back by the network library and then posted on
// (CWindowWnd::PostResource) with what the network thread made of its body.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/RidOdo/TaskModule.h"
#include "push/PushWnd.h"

class CFeedAnswer : public CResourceArg {
public:
  static constexpr int kRequestId = 1000;

  CFeedAnswer() : CResourceArg(kRequestId) {}

  // The reminders of followed albums; null when the feed refused the request, which empties
  // the pop-up.
  std::unique_ptr<ReminderList> reminders;
  // Their pictures that the picture cache holds already.
  std::vector<ReminderPicture> cachedPictures;
};

class CPictureAnswer : public CResourceArg {
public:
  static constexpr int kRequestId = 1001;

  // The caller tag is the album the picture is for.
  explicit CPictureAnswer(int albumId) : CResourceArg(kRequestId, 1, albumId) {}

  std::wstring storedPath;  // "" when the picture could not be stored
};
