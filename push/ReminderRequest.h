// The reminder feed's request: the signed-in endpoint with the login cookie, or the anonymous
// one with the machine id; and whose bookkeeping entry a showing counts against.
#pragma once

#include <string>

#include "platform/RidOdo/TaskModule.h"
#include "push/ReminderContext.h"

inline constexpr char kSignedInReminderPath[] = "/apis/vexorc/getUpdateReminder";
inline constexpr char kAnonymousReminderPath[] = "/apis/urc/getUpdateReminder";
inline constexpr unsigned kPictureTimeoutMs = 10000;

CResourceRequest FeedRequest(const ReminderContext& context);

// The user id when logged in, otherwise the machine id.
std::wstring ReminderUserKey(const ReminderContext& context);
