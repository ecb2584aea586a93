// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/PtySession.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>

namespace sim {

namespace {
int TimeoutMs(double until, double now)
{
    if (until < 0)
        return -1;
    // Rounding up: waking a fraction early would only loop back to a zero wait.
    const double ms = std::ceil((until - now) * 1000.0);
    return ms <= 0 ? 0 : ms >= INT_MAX ? INT_MAX : static_cast<int>(ms);
}

double After(double start, double seconds)
{
    return seconds < 0 ? -1 : start + seconds;
}
}

PtySession::PtySession(const SimOptions& options, CommandInterpreter& interpreter,
                       const volatile std::sig_atomic_t& stopRequested, int wakeReadFd)
    : options_(options),
      stopRequested_(stopRequested),
      wakeReadFd_(wakeReadFd),
      lineEnd_(options.CrLf ? "\r\n" : "\n"),
      runner_(interpreter, options.Faults, MonotonicSeconds()),
      faults_(options.DropEvery, options.GarbleEvery, options.NoiseSeed),
      flood_(options.FloodLinesPerSecond, options.FloodCount, options.FloodNoLineEnds ? "" : lineEnd_),
      presence_(options, MonotonicSeconds()),
      output_(options.Baud) {}

PtySession::~PtySession()
{
    terminal_.Close();
    if (record_ != nullptr)
        std::fclose(record_);
}

bool PtySession::Open()
{
    if (!options_.RecordPath.empty()) {
        record_ = std::fopen(options_.RecordPath.c_str(), "a");
        if (record_ == nullptr) {
            Complain("cannot open record file " + options_.RecordPath);
            return false;
        }
    }
    return OpenTerminal();
}

bool PtySession::OpenTerminal()
{
    framer_ = LineFramer();
    replies_.clear();
    output_ = PacedOutput(options_.Baud);
    if (!terminal_.Open(presence_.LinkPath(), options_.StableLinkPath))
        return false;
    // A test or a bench waits for this line before it opens the terminal.
    std::printf("%s\n", terminal_.Path().c_str());
    std::fflush(stdout);
    return true;
}

void PtySession::Vanish(double now)
{
    Record(now, RecordKind::Vanish, terminal_.Path());
    // The console must see its device disappear: hang up, links and all.
    terminal_.Close();
    runner_.DropPending();
}

int PtySession::Run()
{
    const double startedAt = MonotonicSeconds();
    stopAt_ = After(startedAt, options_.StopAfterSeconds);
    presence_ = PresencePlan(options_, startedAt);

    while (!stopRequested_) {
        const double now = MonotonicSeconds();
        switch (presence_.Due(now)) {
        case PresencePlan::Step::Vanish:
            Vanish(now);
            if (!presence_.ReturnsAgain())
                return ExitCode::Done;
            continue;
        case PresencePlan::Step::Return:
            if (!OpenTerminal())
                return ExitCode::RunFailed;
            Record(now, RecordKind::Return, terminal_.Path());
            continue;
        case PresencePlan::Step::None:
            break;
        }
        Wait wait;
        if (presence_.Present()) {
            bool failed = false;
            wait = WorkOnce(now, failed);
            if (failed)
                return ExitCode::RunFailed;
        }
        wait.Before(presence_.NextAt());

        bool readable = false;
        if (!PollFor(wait, now, readable))
            return ExitCode::RunFailed;
        if (readable && !ReadCommands())
            return ExitCode::RunFailed;
    }
    return ExitCode::Done;
}

PtySession::Wait PtySession::WorkOnce(double now, bool& failed)
{
    const bool silent = stopAt_ >= 0 && now >= stopAt_;
    Wait wait;
    if (silent)
        replies_.clear();
    else
        TakeEvents(now);
    ReleaseDueReplies(now);
    if (!silent) {
        const std::size_t lowWater = output_.LowWater();
        std::string readings;
        flood_.Produce(now, lowWater - std::min(lowWater, output_.Size()), readings);
        if (!readings.empty())
            Send(readings, now);
    }
    if (!FlushOutput(now)) {
        failed = true;
        return wait;
    }

    // What the terminal refused waits for it to take more; only then can a
    // flood add to the queue, or pacing let more out.
    wait.Writable = !output_.Ready(now).empty();
    if (!replies_.empty())
        wait.Before(replies_.front().DueSeconds);
    if (!silent)
        wait.Before(runner_.NextWakeAt());
    if (!wait.Writable) {
        wait.Before(output_.NextCrossingAt(now));
        const std::size_t lowWater = output_.LowWater();
        if (!silent && output_.Size() + flood_.NextSize() <= lowWater)
            wait.Before(flood_.NextDueAt(now));
    }
    return wait;
}

bool PtySession::PollFor(const Wait& wait, double now, bool& readable)
{
    const int master = terminal_.Master();
    pollfd fds[2] = {
        {wakeReadFd_, POLLIN, 0},
        {master, static_cast<short>(POLLIN | (wait.Writable ? POLLOUT : 0)), 0},
    };
    const nfds_t count = master >= 0 ? 2 : 1;
    if (poll(fds, count, TimeoutMs(wait.Until, now)) < 0) {
        if (errno == EINTR)
            return true;
        Complain("poll failed");
        return false;
    }
    if (fds[0].revents != 0)
        DrainWakeups();
    if (count < 2)
        return true;
    if ((fds[1].revents & POLLIN) != 0) {
        readable = true;
    } else if ((fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        std::fprintf(stderr, "tarvio-sim: the pseudo-terminal hung up\n");
        return false;
    }
    return true;
}

void PtySession::DrainWakeups()
{
    char drain[64];
    while (read(wakeReadFd_, drain, sizeof drain) > 0) {
    }
}

bool PtySession::ReadCommands()
{
    // One read per wake-up, so that a flood of commands cannot starve the replies.
    char buffer[4096];
    const ssize_t count = read(terminal_.Master(), buffer, sizeof buffer);
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return true;
    if (count <= 0) {
        Complain("reading the pseudo-terminal failed");
        return false;
    }
    const double now = MonotonicSeconds();
    // A hung instrument still takes bytes off the line, but does nothing with them.
    const bool silent = stopAt_ >= 0 && now >= stopAt_;
    for (const FramedLine& line : framer_.Feed(buffer, static_cast<std::size_t>(count))) {
        Record(now, line.Terminator == LineTerminator::Lf ? RecordKind::CommandLf : RecordKind::CommandCr, line.Text);
        if (silent)
            continue;
        if (options_.Flood)
            flood_.Start(now);
        runner_.Receive(line.Text, now);
        // At once, so that the record shows each command's error right below it.
        TakeEvents(now);
    }
    return true;
}

void PtySession::TakeEvents(double now)
{
    for (InstrumentEvent& event : runner_.Work(now)) {
        switch (event.What) {
        case InstrumentEvent::Kind::Error:
            Record(event.Seconds, RecordKind::Error, event.Text);
            break;
        case InstrumentEvent::Kind::Fault:
            Record(event.Seconds, RecordKind::Fault, event.Text);
            break;
        case InstrumentEvent::Kind::Reply:
            if (auto passed = faults_.Pass(event.Text))
                replies_.push_back({event.Seconds + options_.ReplyDelayMs / 1000.0, std::move(*passed)});
            else
                Record(event.Seconds, RecordKind::DroppedReply, event.Text);
            break;
        }
    }
}

void PtySession::Record(double seconds, RecordKind kind, const std::string& text)
{
    if (record_ == nullptr)
        return;
    const std::string entry = FormatRecordLine({seconds, kind, text});
    std::fwrite(entry.data(), 1, entry.size(), record_);
    std::fflush(record_);
}

void PtySession::ReleaseDueReplies(double now)
{
    // Every reply waits the same delay after the instrument made it, one
    // command at a time, so the queue is already in due order.
    while (!replies_.empty() && replies_.front().DueSeconds <= now) {
        Record(now, RecordKind::Reply, replies_.front().Text);
        Send(replies_.front().Text + lineEnd_, now);
        replies_.pop_front();
    }
}

void PtySession::Send(const std::string& bytes, double now)
{
    if (!output_.Push(bytes, now) && !overflowReported_) {
        std::fprintf(stderr, "tarvio-sim: nobody reads the replies; over %zu bytes wait, dropping the rest\n",
                     DefaultOutputCapacity);
        overflowReported_ = true;
    }
}

bool PtySession::FlushOutput(double now)
{
    for (;;) {
        const std::string_view ready = output_.Ready(now);
        if (ready.empty())
            return true;
        const ssize_t written = write(terminal_.Master(), ready.data(), ready.size());
        if (written > 0) {
            output_.Consume(static_cast<std::size_t>(written));
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
}

} // namespace sim
