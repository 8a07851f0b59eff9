#pragma once

#include "cli/text_request.h"

// The text modes: the window's procedures run on a window that is never
// shown, on Qt's offscreen platform, and what they put into its controls
// (or into the list file) is printed on standard output.
namespace text_mode {
// Runs the request and returns the program's exit status: 0 when every
// entry was done, 1 when one was refused or the output failed.
int run(const TextRequest &request, char *programPath);
}  // namespace text_mode
