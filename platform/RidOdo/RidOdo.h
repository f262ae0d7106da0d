// The network library as the program sees it.
#pragma once

#include "platform/RidOdo/LogParamInfo.h"
#include "platform/RidOdo/PingbackPump.h"
#include "platform/RidOdo/PlayRecordTask.h"
#include "platform/RidOdo/RidOdoDll.h"
#include "platform/RidOdo/TaskModule.h"
