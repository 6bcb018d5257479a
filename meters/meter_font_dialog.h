#pragma once

#include "platform/log_font.h"

class QWidget;

// The font dialog of the meter views: screen fonts without effects, starting from `font` as
// it is drawn. When OK brings another font it replaces `font` and the answer is true; with
// Cancel, or OK on the font it started from, nothing changes.
// Runs through RunModal, so tests answer it.
bool ChooseMeterFont(LOGFONT& font, QWidget* parent);
