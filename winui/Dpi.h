// Stored positions, sizes and font heights are in pixels at 96 dots per
// inch; the window layer scales them to the display's resolution (the
// program is system-DPI aware), so windows keep their proportions at 150 %.
#pragma once

#include <cstdint>

// The display's dots per inch, taken once by the application object.
void SetDisplayDpi(int dpi);
int DisplayDpi();

// A stored value in device pixels, and back (rounded to the nearest).
std::int32_t ScaleFrom96(std::int32_t value);
std::int32_t ScaleTo96(std::int32_t value);
