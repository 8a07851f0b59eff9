#include "generator/list_file.h"

#include "generator/exact_text.h"
#include "generator/path_exists.h"

void appendListLine(std::string &out, uint128 prime, uint128 interval, LineLayout layout)
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
    out += "\r\n";
}

void ListFile::create(const QString &path)
{
    closeQuietly();
    if (PathExists(path)) {
        QFile old(path);
        if (!old.remove())
            fail(old);
    }
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        fail(file_);
    buffer_.reserve(kBufferSize + 256);
}

// What is written leaves the buffer, so that after a failure the buffer
// holds exactly the lines that did not reach the file.
void ListFile::writeOut()
{
    if (buffer_.empty())
        return;
    std::size_t done = 0;
    while (done < buffer_.size()) {
        const qint64 written =
            file_.write(buffer_.data() + done, static_cast<qint64>(buffer_.size() - done));
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

void ListFile::fail(const QFileDevice &device) const
{
    throw ListFileError(device.errorString().toStdString());
}
