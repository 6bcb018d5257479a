#pragma once

#include "platform/log_font.h"

class QWidget;

// The font dialog of the meter views: screen fonts without effects, starting from `font`.
// With OK the chosen font replaces `font` and the answer is true; with Cancel nothing changes.
// Runs through RunModal, so tests answer it.
bool ChooseMeterFont(LOGFONT& font, QWidget* parent);
