#include "generator/list_file.h"

#include "generator/exact_text.h"
#include "generator/path_exists.h"
#include "generator/standard_output.h"

void appendListLine(std::string &out, uint128 prime, uint128 interval, LineLayout layout, std::string_view lineEnd)
{
    out += ' ';
    appendDigits(out, prime);
    switch (layout) {
    case LineLayout::Bounded:
        out += "  ;  ";
        appendDigits(out, interval);
        break;
    case LineLayout::OpenEnded:
        out += "   ;    ";
        appendDigits(out, interval);
        break;
    case LineLayout::NoInterval:
        break;
    }
    out += lineEnd;
}

void ListFile::create(const QString &path)
{
    closeQuietly();
    if (PathExists(path)) {
        QFile old(path);
        if (!old.remove())
            fail(old);
    }
    lineEnd_ = "\r\n";
    format_ = nullptr;
    lines_ = 0;
    maxLines_ = kNoLimit;
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        fail(file_);
    buffer_.reserve(kBufferSize + 256);
}

void ListFile::openStandardOutput(std::uint64_t maxLines, LineFormat format)
{
    closeQuietly();
    toStandardOutput_ = true;
    format_ = format;
    lineEnd_ = "\n";
    lines_ = 0;
    maxLines_ = maxLines == 0 ? kNoLimit : maxLines;
    buffer_.reserve(kBufferSize + 256);
}

// A failure other than a closed pipe cannot be told apart from the list's
// end here; the text mode reports it when the run is over.
void ListFile::writeOutToStandardOutput()
{
    if (!standard_output::write(buffer_))
        maxLines_ = 0;
    buffer_.clear();
}

// What is written leaves the buffer, so that after a failure the buffer
// holds exactly the lines that did not reach the file.
void ListFile::writeOut()
{
    if (buffer_.empty())
        return;
    if (toStandardOutput_) {
        writeOutToStandardOutput();
        return;
    }
    std::size_t done = 0;
    while (done < buffer_.size()) {
        const qint64 written = file_.write(buffer_.data() + done, static_cast<qint64>(buffer_.size() - done));
        if (written <= 0) {
            buffer_.erase(0, done);
            fail(file_);
        }
        done += static_cast<std::size_t>(written);
    }
    buffer_.clear();
}

void ListFile::close()
{
    if (toStandardOutput_) {
        closeQuietly();
        return;
    }
    if (!file_.isOpen())
        return;
    try {
        writeOut();
    } catch (const ListFileError &) {
        closeQuietly();
        throw;
    }
    file_.close();
    if (file_.error() != QFileDevice::NoError)
        fail(file_);
}

void ListFile::closeQuietly()
{
    if (toStandardOutput_) {
        writeOutToStandardOutput();
        toStandardOutput_ = false;
        return;
    }
    if (!file_.isOpen())
        return;
    try {
        writeOut();
    } catch (const ListFileError &) {
        // Nobody is left to tell; what reached the file stays.
    }
    file_.close();
    buffer_.clear();
}

void ListFile::fail(const QFileDevice &device) const { throw ListFileError(device.errorString().toStdString()); }
