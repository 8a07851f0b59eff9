#include "generator/standard_output.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

// Shared with the SIGINT handler, which may run on any thread.
std::atomic<bool> writing{false};
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

bool outputEnded = false;
int failedWith = 0;

// Ends the program as Ctrl+C does by default, so that the shell sees it.
// Inside the handler SIGINT is blocked, and a raised one would wait for the
// handler to return: it is unblocked first.
[[noreturn]] void endByInterrupt()
{
    std::signal(SIGINT, SIG_DFL);
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    pthread_sigmask(SIG_UNBLOCK, &interrupt, nullptr);
    std::raise(SIGINT);
    _exit(128 + SIGINT);
}

void onInterrupt(int)
{
    interrupted = true;
    if (!writing)
        endByInterrupt();
}

// The rest of the line that `done` bytes of `lines` stopped inside, if any.
void completeLine(std::string_view lines, std::size_t done)
{
    if (done == 0 || lines[done - 1] == '\n')
        return;
    const std::size_t end = lines.find('\n', done) + 1;
    while (done < end) {
        const ssize_t n = ::write(STDOUT_FILENO, lines.data() + done, end - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n < 0 && errno != EINTR)
            return;
    }
}

}  // namespace

namespace standard_output {

void takeOverSignals()
{
    std::signal(SIGPIPE, SIG_IGN);
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocked write returns, to stop at its line end
    sigaction(SIGINT, &action, nullptr);
}

bool write(std::string_view lines)
{
    if (outputEnded)
        return false;
    writing = true;
    std::size_t done = 0;
    while (done < lines.size()) {
        if (interrupted) {
            completeLine(lines, done);
            endByInterrupt();
        }
        const ssize_t n = ::write(STDOUT_FILENO, lines.data() + done, lines.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EINTR) {
            outputEnded = true;
            failedWith = errno == EPIPE ? 0 : errno;
            break;
        }
    }
    writing = false;
    if (interrupted)
        endByInterrupt();
    return !outputEnded;
}

bool ended() { return outputEnded; }

std::string failure() { return failedWith == 0 ? std::string() : std::strerror(failedWith); }

}  // namespace standard_output
