// tarvio-sim: a simulated supply on a pseudo-terminal. This file owns only the
// terminal and the event loop; what the instrument does is in the core library.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "simulator/CommandInterpreter.h"
#include "simulator/LineFramer.h"
#include "simulator/SimOptions.h"

namespace {
// A console that stops reading must not make the simulator grow without end.
constexpr std::size_t MaxUnreadOutput = 1 << 20;

// A signal handler can reach the loop only through globals: it raises the flag
// and writes a byte to the pipe so that a poll() already waiting wakes up.
volatile std::sig_atomic_t StopRequested = 0;
int WakeWriteFd = -1;

void OnStopSignal(int)
{
    const int savedErrno = errno;
    StopRequested = 1;
    const char byte = 0;
    if (write(WakeWriteFd, &byte, 1) < 0) {
        // A full pipe already holds a wake-up.
    }
    errno = savedErrno;
}

double MonotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

bool SetFlags(int fd, int statusFlags)
{
    return fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | statusFlags) == 0
        && fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

void Complain(const std::string& what)
{
    std::fprintf(stderr, "tarvio-sim: %s: %s\n", what.c_str(), std::strerror(errno));
}

struct QueuedReply {
    double DueSeconds;
    std::string Bytes;
};

// The terminal pair, its link, the command record and the replies waiting for
// their time: the resources that must all be released together on every exit.
class PtySession {
public:
    PtySession(const SimOptions& options, CommandInterpreter& interpreter)
        : options_(options), interpreter_(interpreter) {}
    ~PtySession() { Close(); }
    PtySession(const PtySession&) = delete;
    PtySession& operator=(const PtySession&) = delete;

    bool Open(int wakeReadFd);
    int Run();

private:
    bool MakeLink();
    void RemoveLink();
    void Close();
    bool ReadCommands();
    void ReleaseDueReplies(double now);
    bool FlushOutput();
    int NextTimeoutMs(double now, double vanishAt) const;

    const SimOptions& options_;
    CommandInterpreter& interpreter_;
    int master_ = -1;
    // Held open for the whole run: with no slave open, reads on the master
    // fail with EIO at once and poll() would never rest between consoles.
    int slave_ = -1;
    int wakeReadFd_ = -1;
    std::string slavePath_;
    bool linkMade_ = false;
    std::FILE* record_ = nullptr;
    LineFramer framer_;
    std::deque<QueuedReply> replies_;
    std::string output_;
    bool overflowReported_ = false;
};

bool PtySession::Open(int wakeReadFd)
{
    wakeReadFd_ = wakeReadFd;
    if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) {
        Complain("cannot open a pseudo-terminal");
        return false;
    }
    // Raw, so that a CR reaches us as CR and nothing is echoed back to the
    // console before it configures the line itself.
    termios mode{};
    if (tcgetattr(slave_, &mode) == 0) {
        cfmakeraw(&mode);
        tcsetattr(slave_, TCSANOW, &mode);
    }
    if (!SetFlags(master_, O_NONBLOCK) || !SetFlags(slave_, 0)) {
        Complain("cannot configure the pseudo-terminal");
        return false;
    }
    slavePath_ = ptsname(master_);
    if (!options_.RecordPath.empty()) {
        record_ = std::fopen(options_.RecordPath.c_str(), "a");
        if (record_ == nullptr) {
            Complain("cannot open record file " + options_.RecordPath);
            return false;
        }
    }
    return options_.LinkPath.empty() || MakeLink();
}

bool PtySession::MakeLink()
{
    const std::string& path = options_.LinkPath;
    struct stat info{};
    if (lstat(path.c_str(), &info) == 0) {
        // A stale link from an earlier run is ours to replace; a real file is not.
        if (!S_ISLNK(info.st_mode)) {
            std::fprintf(stderr, "tarvio-sim: %s exists and is not a symbolic link\n", path.c_str());
            return false;
        }
        if (unlink(path.c_str()) != 0) {
            Complain("cannot replace link " + path);
            return false;
        }
    }
    if (symlink(slavePath_.c_str(), path.c_str()) != 0) {
        Complain("cannot make link " + path);
        return false;
    }
    linkMade_ = true;
    return true;
}

void PtySession::RemoveLink()
{
    if (!linkMade_)
        return;
    linkMade_ = false;
    // Another simulator may have taken the name over meanwhile; leave its link be.
    std::vector<char> target(PATH_MAX + 1, '\0');
    const ssize_t length = readlink(options_.LinkPath.c_str(), target.data(), PATH_MAX);
    if (length > 0 && std::string(target.data(), static_cast<std::size_t>(length)) == slavePath_)
        unlink(options_.LinkPath.c_str());
}

void PtySession::Close()
{
    RemoveLink();
    for (int* fd : {&master_, &slave_}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
    if (record_ != nullptr)
        std::fclose(record_);
    record_ = nullptr;
}

int PtySession::Run()
{
    std::printf("%s\n", slavePath_.c_str());
    std::fflush(stdout);

    const double vanishAt = options_.VanishAfterSeconds >= 0 ? MonotonicSeconds() + options_.VanishAfterSeconds : -1;
    while (!StopRequested) {
        const double now = MonotonicSeconds();
        if (vanishAt >= 0 && now >= vanishAt) {
            // The console must see its device disappear: hang up, then go.
            Close();
            return 0;
        }
        ReleaseDueReplies(now);
        if (!FlushOutput())
            return 1;

        pollfd fds[2] = {
            {master_, static_cast<short>(POLLIN | (output_.empty() ? 0 : POLLOUT)), 0},
            {wakeReadFd_, POLLIN, 0},
        };
        if (poll(fds, 2, NextTimeoutMs(now, vanishAt)) < 0) {
            if (errno == EINTR)
                continue;
            Complain("poll failed");
            return 1;
        }
        if (fds[1].revents != 0) {
            char drain[64];
            while (read(wakeReadFd_, drain, sizeof drain) > 0) {
            }
        }
        if ((fds[0].revents & POLLIN) != 0) {
            if (!ReadCommands())
                return 1;
        } else if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            std::fprintf(stderr, "tarvio-sim: the pseudo-terminal hung up\n");
            return 1;
        }
    }
    return 0;
}

bool PtySession::ReadCommands()
{
    // One read per wake-up, so that a flood of commands cannot starve the replies.
    char buffer[4096];
    const ssize_t count = read(master_, buffer, sizeof buffer);
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return true;
    if (count <= 0) {
        Complain("reading the pseudo-terminal failed");
        return false;
    }
    const double now = MonotonicSeconds();
    for (const FramedLine& line : framer_.Feed(buffer, static_cast<std::size_t>(count))) {
        if (record_ != nullptr) {
            const std::string entry = FormatRecordLine(now, line.Terminator, line.Text);
            std::fwrite(entry.data(), 1, entry.size(), record_);
            std::fflush(record_);
        }
        if (auto reply = interpreter_.HandleCommand(line.Text)) {
            *reply += options_.CrLf ? "\r\n" : "\n";
            replies_.push_back({now + options_.ReplyDelayMs / 1000.0, std::move(*reply)});
        }
    }
    return true;
}

void PtySession::ReleaseDueReplies(double now)
{
    // Every reply waits the same delay, so the queue is already in due order.
    while (!replies_.empty() && replies_.front().DueSeconds <= now) {
        const std::string& bytes = replies_.front().Bytes;
        if (output_.size() + bytes.size() <= MaxUnreadOutput) {
            output_ += bytes;
        } else if (!overflowReported_) {
            std::fprintf(stderr, "tarvio-sim: nobody reads the replies; dropping them\n");
            overflowReported_ = true;
        }
        replies_.pop_front();
    }
}

bool PtySession::FlushOutput()
{
    while (!output_.empty()) {
        const ssize_t written = write(master_, output_.data(), output_.size());
        if (written > 0) {
            output_.erase(0, static_cast<std::size_t>(written));
            overflowReported_ = false;
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return true;
        } else {
            Complain("writing the pseudo-terminal failed");
            return false;
        }
    }
    return true;
}

int PtySession::NextTimeoutMs(double now, double vanishAt) const
{
    double next = vanishAt;
    if (!replies_.empty() && (next < 0 || replies_.front().DueSeconds < next))
        next = replies_.front().DueSeconds;
    if (next < 0)
        return -1;
    // Rounding up: waking a fraction early would only loop back to a zero wait.
    const double ms = std::ceil((next - now) * 1000.0);
    return ms <= 0 ? 0 : ms >= INT_MAX ? INT_MAX : static_cast<int>(ms);
}

bool InstallSignalHandlers(int wakeFds[2])
{
    if (pipe(wakeFds) != 0 || !SetFlags(wakeFds[0], O_NONBLOCK) || !SetFlags(wakeFds[1], O_NONBLOCK))
        return false;
    WakeWriteFd = wakeFds[1];
    struct sigaction action{};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        if (sigaction(signal, &action, nullptr) != 0)
            return false;
    }
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}
}

int main(int argc, char** argv)
{
    const std::string program = argc > 0 ? argv[0] : "tarvio-sim";
    const ParsedOptions parsed = ParseOptions(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    if (!parsed.Error.empty()) {
        std::fprintf(stderr, "tarvio-sim: %s\n%s", parsed.Error.c_str(), UsageText(program).c_str());
        return 2;
    }
    const SimOptions& options = parsed.Options;
    if (options.Help) {
        std::printf("%s", UsageText(program).c_str());
        return 0;
    }

    int wakeFds[2] = {-1, -1};
    if (!InstallSignalHandlers(wakeFds)) {
        Complain("cannot install signal handlers");
        return 1;
    }
    CommandInterpreter interpreter(SimulatedSupply(options.Model, options.LoadOhms, options.NoiseSeed, options.Noise));
    PtySession session(options, interpreter);
    if (!session.Open(wakeFds[0]))
        return 1;
    return session.Run();
}
