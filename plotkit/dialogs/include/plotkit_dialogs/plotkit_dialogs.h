#pragma once
// Qt Widgets dialogs of the 5 degree display objects.
#include "plotkit_dialogs/format_dialogs.h"
#include "plotkit_dialogs/odf_tool_dialogs.h"
