// One usage report (pingback): what happened, who it happened to and on which installation.
#pragma once

#include <string>

struct LogParamInfo {
  LogParamInfo() = default;
  LogParamInfo(int type, bool loggedIn, std::string actionCode, int p1, int p2, int p3, int p4,
               std::string user, std::string extraText)
      : logParamType(type),
        isLogin(loggedIn),
        action(std::move(actionCode)),
        param1(p1),
        param2(p2),
        param3(p3),
        param4(p4),
        userId(std::move(user)),
        extra(std::move(extraText)) {}

  int logParamType = 1;
  bool isLogin = false;
  std::string action;  // "3" start, "14" exit
  int param1 = -1;
  int param2 = 0;
  int param3 = 0;
  int param4 = -1;
  std::string userId;  // empty when not logged in
  std::string extra;
  std::string uuid;    // the installation identifier, set by the sender
};
