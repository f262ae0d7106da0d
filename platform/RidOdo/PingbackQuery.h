// The wire form of a pingback: its fields as the query of one GET.
#pragma once

#include <string>

#include "platform/RidOdo/LogParamInfo.h"

// "t=..&login=..&a=..&p1=..&p2=..&p3=..&p4=..&uid=..&ext=..&uuid=..&tc=..&rn=.."; texts are
// percent-encoded byte for byte; `nonce` keeps caches between here and the sink from
// answering a repeat.
std::string PingbackQuery(const LogParamInfo& info, int isTailcast, unsigned nonce);
