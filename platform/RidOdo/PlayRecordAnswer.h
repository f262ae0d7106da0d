// The play-history service's answer: {"code":"A00000","data":[{"albumId":..,"tvId":..,
// "videoUrl":..}, ...]}. Texts stay UTF-8 here.
#pragma once

#include <string>
#include <vector>

struct PlayRecordText {
  std::string albumId;  // decimal
  std::string tvId;     // decimal, may be empty
  std::string videoUrl;
};

enum class PlayRecordAnswerStatus { Records, NotLoggedIn, Unreadable };

// Records without an album id or an address are skipped; at most `limit` are kept.
PlayRecordAnswerStatus ParsePlayRecordAnswer(const std::string& body, size_t limit,
                                             std::vector<PlayRecordText>& records);
