#pragma once

#include <QIcon>

// The 16 x 15 tool bar pictures, drawn pixel by pixel; a null icon for an id without one.
QIcon ToolbarIcon(int commandId);
