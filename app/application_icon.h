#pragma once

#include <QIcon>

// Levora's own icon at every size it is rendered in: the windows' icon and the About box's
// picture.
QIcon ApplicationIcon();
