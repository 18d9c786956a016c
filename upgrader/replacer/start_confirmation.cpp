#include "upgrader/replacer/start_confirmation.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace replacer {

namespace {

constexpr int kMostPollMs = 1000;

// The word among what has come, if any; Open is cleared once every writer
// has closed its end.
std::optional<StartOutcome> ReadWord(int ReadEnd, bool& Open) {
    char bytes[16];
    const ssize_t got = ::read(ReadEnd, bytes, sizeof bytes);
    if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN))
        Open = false;
    if (got <= 0)
        return std::nullopt;
    if (std::memchr(bytes, '1', size_t(got)) != nullptr)
        return StartOutcome::Confirmed;
    if (std::memchr(bytes, '0', size_t(got)) != nullptr)
        return StartOutcome::HandedBack;
    return std::nullopt;
}

// What is still in the pipe once the program ended: a word written just
// before the end counts.
StartOutcome LastWord(int ReadEnd, bool Open) {
    pollfd ready{ReadEnd, POLLIN, 0};
    while (Open && ::poll(&ready, 1, 0) > 0)
        if (const std::optional<StartOutcome> word = ReadWord(ReadEnd, Open))
            return *word;
    return StartOutcome::Ended;
}

}  // namespace

int InheritedConfirmationPipe() {
    const char* text = std::getenv(kConfirmVariable);
    if (text == nullptr || *text == '\0')
        return -1;
    char* end = nullptr;
    const long descriptor = std::strtol(text, &end, 10);
    struct stat status {};
    if (*end != '\0' || descriptor < 3 || descriptor > 65535 ||
        ::fstat(int(descriptor), &status) != 0 || !S_ISFIFO(status.st_mode))
        return -1;
    return int(descriptor);
}

StartOutcome AwaitStartWord(int ReadEnd, int ProcessFd, std::chrono::milliseconds Limit) {
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + Limit;
    bool open = true;
    for (;;) {
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        if (left <= 0)
            return StartOutcome::TimedOut;
        if (!open && ProcessFd < 0)
            return StartOutcome::Ended;
        pollfd ready[2] = {{open ? ReadEnd : -1, POLLIN, 0}, {ProcessFd, POLLIN, 0}};
        if (::poll(ready, 2, int(std::min<long long>(left, kMostPollMs))) <= 0)
            continue;
        if (ready[0].revents != 0)
            if (const std::optional<StartOutcome> word = ReadWord(ReadEnd, open))
                return *word;
        if (ready[1].revents != 0)
            return LastWord(ReadEnd, open);
    }
}

}  // namespace replacer
