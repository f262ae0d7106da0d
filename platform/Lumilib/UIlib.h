// The whole UI library in one include.
#pragma once

#include "platform/Lumilib/ButtonUI.h"
#include "platform/Lumilib/ContainerUI.h"
#include "platform/Lumilib/ControlUI.h"
#include "platform/Lumilib/DialogBuilder.h"
#include "platform/Lumilib/HorizontalLayoutUI.h"
#include "platform/Lumilib/LabelUI.h"
#include "platform/Lumilib/PaintManagerUI.h"
#include "platform/Lumilib/UIEvent.h"
#include "platform/Lumilib/UINotify.h"
#include "platform/Lumilib/UIRect.h"
#include "platform/Lumilib/UISystem.h"
#include "platform/Lumilib/UIString.h"
#include "platform/Lumilib/VerticalLayoutUI.h"
#include "platform/Lumilib/WindowWnd.h"
