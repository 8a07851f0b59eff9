#pragma once

#include <string>
#include <string_view>

#include "generator/standard_output.h"

// What the text modes print, collected in one small buffer and handed to
// standard output whenever it fills and at the end of each report: a report
// of millions of lines never stands whole in memory.
class Output {
public:
    Output() { buffer_.reserve(kSize + 256); }
    // The buffer itself, for writers that append to it in pieces; they call
    // flushIfFull() between the pieces.
    std::string &text() { return buffer_; }
    void line(std::string_view text)
    {
        buffer_ += text;
        buffer_ += '\n';
        flushIfFull();
    }
    void flushIfFull()
    {
        if (buffer_.size() >= kSize)
            flush();
    }
    // Writes out what has been collected; false once the output has ended.
    bool flush()
    {
        const bool open = standard_output::write(buffer_);
        buffer_.clear();
        return open;
    }

private:
    static constexpr std::size_t kSize = 64 * 1024;
    std::string buffer_;
};
