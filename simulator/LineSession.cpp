// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/LineSession.h"

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
}

LineSession::LineSession(const SimOptions& options, CommandInterpreter& interpreter,
                       const volatile std::sig_atomic_t& stopRequested, int wakeReadFd)
    : options_(options),
      stopRequested_(stopRequested),
      wakeReadFd_(wakeReadFd),
      lineEnd_(options.CrLf ? "\r\n" : "\n"),
      runner_(interpreter, options.Faults, MonotonicSeconds()),
      faults_({options.DropEvery, options.GarbleEvery, options.DropReplies, options.Strays}, options.NoiseSeed),
      flood_(options.FloodLinesPerSecond, options.FloodCount, options.FloodNoLineEnds ? "" : lineEnd_),
      silence_(options, MonotonicSeconds()),
      presence_(options, MonotonicSeconds()),
      output_(options.Baud) {}

LineSession::~LineSession()
{
    terminal_.Close();
    if (record_ != nullptr)
        std::fclose(record_);
}

bool LineSession::Open()
{
    if (!options_.RecordPath.empty()) {
        record_ = std::fopen(options_.RecordPath.c_str(), "a");
        if (record_ == nullptr) {
            Complain("cannot open record file " + options_.RecordPath);
            return false;
        }
    }
    if (!OnTcp())
        return OpenTerminal();
    if (!server_.Listen(options_.TcpHost, options_.TcpPort))
        return false;
    // As with the terminal's path: a script waits for this line, then connects.
    std::printf("%s\n", server_.Address().c_str());
    std::fflush(stdout);
    return true;
}

void LineSession::ResetLine()
{
    framer_ = LineFramer();
    replies_.clear();
    output_ = PacedOutput(options_.Baud);
}

bool LineSession::OpenTerminal()
{
    ResetLine();
    if (!terminal_.Open(presence_.LinkPath(), options_.StableLinkPath))
        return false;
    // A test or a bench waits for this line before it opens the terminal.
    std::printf("%s\n", terminal_.Path().c_str());
    std::fflush(stdout);
    return true;
}

void LineSession::Vanish(double now)
{
    Record(now, RecordKind::Vanish, terminal_.Path());
    // The console must see its device disappear: hang up, links and all.
    terminal_.Close();
    runner_.DropPending();
}

void LineSession::ClientGone(double now)
{
    Record(now, RecordKind::Disconnect, server_.ClientAddress());
    server_.DropClient();
    // What the client asked and was not told goes with it; a flood starts
    // again at the next client's first line.
    ResetLine();
    runner_.DropPending();
    flood_ = FloodSource(options_.FloodLinesPerSecond, options_.FloodCount, options_.FloodNoLineEnds ? "" : lineEnd_);
}

bool LineSession::AcceptClients(double now)
{
    switch (server_.AcceptWaiting("tarvio-sim serves one client at a time" + lineEnd_)) {
    case TcpServer::Accepted::Failed:
        return false;
    case TcpServer::Accepted::Client:
        Record(now, RecordKind::Connect, server_.ClientAddress());
        break;
    case TcpServer::Accepted::Nothing:
        break;
    }
    return true;
}

int LineSession::Run()
{
    const double startedAt = MonotonicSeconds();
    silence_ = SilencePlan(options_, startedAt);
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

        Ready ready;
        if (!PollFor(wait, now, ready))
            return ExitCode::RunFailed;
        // The client that left first, so that the one behind it is let in.
        if (ready.Line && !ReadCommands(ready.LineHungUp))
            return ExitCode::RunFailed;
        if (ready.Listener && !AcceptClients(MonotonicSeconds()))
            return ExitCode::RunFailed;
    }
    return ExitCode::Done;
}

LineSession::Wait LineSession::WorkOnce(double now, bool& failed)
{
    const bool silent = silence_.Silent(now);
    Wait wait;
    if (silent) {
        // A hung instrument loses what it was about to say and what it had
        // not begun: nothing of it comes out late once it answers again.
        replies_.clear();
        runner_.DropPending();
    } else {
        TakeEvents(now);
    }
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
    wait.Writable = LineFd() >= 0 && !output_.Ready(now).empty();
    if (!replies_.empty())
        wait.Before(replies_.front().DueSeconds);
    wait.Before(silence_.NextChangeAt(now));
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

bool LineSession::PollFor(const Wait& wait, double now, Ready& ready)
{
    // poll() passes over the descriptors that are not open (-1).
    pollfd fds[3] = {
        {wakeReadFd_, POLLIN, 0},
        {LineFd(), static_cast<short>(POLLIN | (wait.Writable ? POLLOUT : 0)), 0},
        {server_.Listener(), POLLIN, 0},
    };
    if (poll(fds, 3, TimeoutMs(wait.Until, now)) < 0) {
        if (errno == EINTR)
            return true;
        Complain("poll failed");
        return false;
    }
    if (fds[0].revents != 0)
        DrainWakeups();
    ready.Listener = (fds[2].revents & POLLIN) != 0;
    const bool hungUp = (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    if ((fds[1].revents & POLLIN) != 0) {
        ready.Line = true;
    } else if (hungUp && OnTcp()) {
        // Reading tells a client that left from one that only reset.
        ready.Line = ready.LineHungUp = true;
    } else if (hungUp) {
        std::fprintf(stderr, "tarvio-sim: the pseudo-terminal hung up\n");
        return false;
    }
    return true;
}

void LineSession::DrainWakeups()
{
    char drain[64];
    while (read(wakeReadFd_, drain, sizeof drain) > 0) {
    }
}

bool LineSession::ReadCommands(bool hungUp)
{
    // One read per wake-up, so that a flood of commands cannot starve the replies.
    char buffer[4096];
    const ssize_t count = read(LineFd(), buffer, sizeof buffer);
    // A hung-up socket with nothing to read must not be polled again and again.
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) && !hungUp)
        return true;
    const double now = MonotonicSeconds();
    if (count <= 0 && OnTcp()) {
        ClientGone(now);
        return true;
    }
    if (count <= 0) {
        Complain("reading the pseudo-terminal failed");
        return false;
    }
    // A hung instrument still takes bytes off the line, but does nothing with them.
    const bool silent = silence_.Silent(now);
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

void LineSession::TakeEvents(double now)
{
    for (InstrumentEvent& event : runner_.Work(now)) {
        switch (event.What) {
        case InstrumentEvent::Kind::Error:
            Record(event.Seconds, RecordKind::Error, event.Text);
            break;
        case InstrumentEvent::Kind::Fault:
            Record(event.Seconds, RecordKind::Fault, event.Text);
            break;
        case InstrumentEvent::Kind::Reply: {
            const double due = event.Seconds + options_.ReplyDelayMs / 1000.0;
            if (auto passed = faults_.Pass(event.Text))
                replies_.push_back({due, std::move(*passed)});
            else
                Record(event.Seconds, RecordKind::DroppedReply, event.Text);
            for (std::string& stray : faults_.TakeStrays())
                replies_.push_back({due, std::move(stray), true});
            break;
        }
        }
    }
}

void LineSession::Record(double seconds, RecordKind kind, const std::string& text)
{
    if (record_ == nullptr)
        return;
    const std::string entry = FormatRecordLine({seconds, kind, text});
    std::fwrite(entry.data(), 1, entry.size(), record_);
    std::fflush(record_);
}

void LineSession::ReleaseDueReplies(double now)
{
    // Every reply waits the same delay after the instrument made it, one
    // command at a time, so the queue is already in due order.
    while (!replies_.empty() && replies_.front().DueSeconds <= now) {
        Record(now, replies_.front().Stray ? RecordKind::StrayLine : RecordKind::Reply, replies_.front().Text);
        Send(replies_.front().Text + lineEnd_, now);
        replies_.pop_front();
    }
}

void LineSession::Send(const std::string& bytes, double now)
{
    if (!output_.Push(bytes, now) && !overflowReported_) {
        std::fprintf(stderr, "tarvio-sim: nobody reads the replies; over %zu bytes wait, dropping the rest\n",
                     DefaultOutputCapacity);
        overflowReported_ = true;
    }
}

bool LineSession::FlushOutput(double now)
{
    for (;;) {
        const std::string_view ready = output_.Ready(now);
        if (ready.empty() || LineFd() < 0)
            return true;
        const ssize_t written = write(LineFd(), ready.data(), ready.size());
        if (written > 0) {
            output_.Consume(static_cast<std::size_t>(written));
            overflowReported_ = false;
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return true;
        } else if (OnTcp()) {
            ClientGone(now);
            return true;
        } else {
            Complain("writing the pseudo-terminal failed");
            return false;
        }
    }
}

} // namespace sim
