#pragma once

class Form1;

// Lets the window's own controls report to screen readers: the lists of lines
// and the labels of the frames. Call before the first window is built; later
// calls do nothing.
void installAccessibility();

// Names the status frame and tells screen readers what each value field of
// the window holds; the panel's fields follow its layout from then on.
void describeControls(Form1 &form);
