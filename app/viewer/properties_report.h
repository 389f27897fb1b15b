#pragma once
// The six lines of File > Properties.

#include <string>
#include <vector>

#include "viewer_state.h"

// The text for a pixel-format ordinal; "Unknown" for 0, 8 and anything else.
std::string PixelFormatText(int ordinal);

// Whether a QAV record is current, and the width, height and pixel format of the bitmap that
// is shown (CurrentBitmap; with none, the picture's own bitmap, which is then empty).
std::vector<std::string> PropertiesReportLines(const TViewerState& state);
