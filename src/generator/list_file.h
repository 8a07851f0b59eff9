#pragma once

#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

#include "numeric/uint128.h"

// A failure to write the list file; what() is the system's description.
class ListFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How one line of the list file is laid out.
enum class LineLayout {
    Bounded,     // " 13  ;  2"
    OpenEnded,   // " 13   ;    2"
    NoInterval,  // " 13"
};

// Appends one line of the list file and its line end: CR LF in the file,
// LF on standard output.
void appendListLine(std::string &out, uint128 prime, uint128 interval, LineLayout layout,
                    std::string_view lineEnd = "\r\n");

// The prime-list file, written line by line through a buffer as the primes
// are found; the run writes the buffer out whenever it lets window events
// run, so that the file never lags far behind. Whatever was written stays
// when a later write fails.
//
// The buffer is our own: after a short write (a full disk) the next write
// returns the system's description of the failure, which a buffered QFile
// would not pass on.
//
// The same lines can go to standard output instead, LF-ended, for the text
// modes; there a list may stop after a given number of lines, and it stops
// when the reader closes the pipe.
class ListFile {
public:
    ListFile() = default;
    ListFile(const ListFile &) = delete;
    ListFile &operator=(const ListFile &) = delete;
    ~ListFile() { closeQuietly(); }

    // Replaces whatever is at `path` with a new, empty file.
    void create(const QString &path);
    using LineFormat = void (*)(std::string &out, uint128 prime, uint128 interval, LineLayout layout);
    // Writes to standard output; `maxLines` 0 sets no limit. `format`, when
    // given, writes each line instead of the list file's layout.
    void openStandardOutput(std::uint64_t maxLines, LineFormat format = nullptr);
    void writeLine(uint128 prime, uint128 interval, LineLayout layout)
    {
        if (format_)
            format_(buffer_, prime, interval, layout);
        else
            appendListLine(buffer_, prime, interval, layout, lineEnd_);
        ++lines_;
        if (buffer_.size() >= kBufferSize)
            writeOut();
    }
    // False once the line limit is reached or standard output has ended.
    bool wantsMore() const { return lines_ < maxLines_; }
    // Hands the lines written so far to the system; throws when that fails.
    void writeOut();
    // Writes out the buffer and closes; throws when that fails. A file that
    // is not open is left alone.
    void close();
    // As close(), for the ways out on which a failure has nobody to tell.
    void closeQuietly();
    bool isOpen() const { return file_.isOpen() || toStandardOutput_; }

private:
    static constexpr std::size_t kBufferSize = 64 * 1024;
    static constexpr std::uint64_t kNoLimit = std::numeric_limits<std::uint64_t>::max();

    void writeOutToStandardOutput();
    [[noreturn]] void fail(const QFileDevice &device) const;

    QFile file_;
    bool toStandardOutput_ = false;
    std::string_view lineEnd_ = "\r\n";
    LineFormat format_ = nullptr;
    std::string buffer_;
    std::uint64_t lines_ = 0;
    std::uint64_t maxLines_ = kNoLimit;
};
