#pragma once

#include <QString>

// The family of the window's typeface: Liberation Sans, built into the
// program, so that every machine sets the window's texts alike and its
// digits are as narrow as those the fixed control rectangles are sized for.
// The first call adds the built-in font files to the application's fonts.
QString windowFontFamily();
