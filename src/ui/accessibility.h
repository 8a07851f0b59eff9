#pragma once

// Lets the window's own controls report to screen readers: the lists of
// lines. Call before the first window is built; later calls do nothing.
void installAccessibility();
