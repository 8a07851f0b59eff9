#include "cli/terminal_progress.h"

#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr int kTickMs = 250;
constexpr qint64 kQuietMs = 500;

// Room on the terminal's line, so that the text never wraps and \r still
// reaches its start.
qsizetype lineRoom()
{
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1)
        return size.ws_col - 1;
    return 79;
}

void writeToTerminal(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

}  // namespace

TerminalProgress::TerminalProgress(std::function<QString()> status) : status_(std::move(status))
{
    if (!enabled())
        return;
    ticker_.setInterval(kTickMs);
    QObject::connect(&ticker_, &QTimer::timeout, [this] { show(); });
}

bool TerminalProgress::enabled() { return isatty(STDERR_FILENO) == 1; }

void TerminalProgress::begin()
{
    if (!enabled())
        return;
    running_.start();
    ticker_.start();
}

void TerminalProgress::erase()
{
    ticker_.stop();
    if (!visible_)
        return;
    writeToTerminal("\r\x1b[K");
    visible_ = false;
    shown_.clear();
}

// Runs while the window's procedures let events run.
void TerminalProgress::show()
{
    if (running_.elapsed() < kQuietMs)
        return;
    const QString status = status_().left(lineRoom());
    if (visible_ && status == shown_)
        return;
    writeToTerminal("\r" + status.toUtf8() + "\x1b[K");
    shown_ = status;
    visible_ = true;
}
