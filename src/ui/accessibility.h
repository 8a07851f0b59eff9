#pragma once

// Lets the window's own controls report to screen readers: the lists of lines
// and the labels of the frames. Call before the first window is built; later
// calls do nothing.
void installAccessibility();
