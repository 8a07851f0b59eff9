#pragma once

#include <string>
#include <string_view>

// Standard output of the text modes, handed to write(2) in whole lines.
// Ctrl+C ends the program at once, yet never inside a line: a write under
// way goes on to its next line end first. A reader that closes the pipe
// ends the output quietly.
namespace standard_output {

// Ignores SIGPIPE and takes over SIGINT as described above.
void takeOverSignals();
// Writes `lines`, which end with a line end. Returns false, and writes
// nothing more from then on, once the output has ended: the reader has gone,
// or writing failed (failure() then describes it).
bool write(std::string_view lines);
bool ended();
// The system's description of a failed write; empty when none failed or the
// reader merely closed the pipe.
std::string failure();

}  // namespace standard_output
