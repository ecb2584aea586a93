// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How much received text line mode can take: a child process floods the
// console's port with lines as fast as a pseudo-terminal carries them, and the
// console routes each into TextInfo while a 10 ms probe timer measures how
// long the event loop goes without turning. The same flood then comes
// through the real ser2net with RFC 2217 on loopback, so that the network
// port's cost shows beside the local one's in the same run.
//
//   bench_receive_capacity [--quick] [--seconds S] [--line-bytes N] [--pty-only]
#include <QApplication>
#include <QEventLoop>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextDocument>

#include <cstdio>
#include <string>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>

#include "BenchConsole.h"
#include "BenchSupport.h"
#include "support/Ser2Net.h"
#include "platform/Controls.h"
#include "link/ReceiveParser.h"
#include "platform/Fonts.h"

namespace {

// What 19200 baud carries with one start and one stop bit: ten bits a byte.
constexpr double LineRateBytesPerSecond = 19200 / 10.0;
constexpr int ProbeMs = 10;
const QString Sentinel = QStringLiteral("END OF FLOOD");

// Numbered lines of a fixed length, so the last ones in the panel show that none was lost.
QByteArray FloodLine(long number, int length)
{
    QByteArray line = QByteArray::number(qlonglong(number)).rightJustified(8, '0') + " 12.345V 1.234A";
    while (line.size() < length - 1)
        line += ' ';
    line.truncate(length - 1);
    return line + '\n';
}

struct FloodResult {
    long Lines = 0;
    long long Bytes = 0;
};

// The far end: once told to go, writes numbered lines for `seconds`, then the
// sentinel, reports what it sent, and holds the terminal open until the
// console has gone.
[[noreturn]] void Flood(int master, int goPipe, int resultPipe, double seconds, int lineBytes)
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    char go = 0;
    if (read(goPipe, &go, 1) != 1)
        _exit(1);
    FloodResult sent;
    QByteArray chunk;
    const double until = bench::MonotonicSeconds() + seconds;
    while (bench::MonotonicSeconds() < until) {
        chunk.clear();
        while (chunk.size() < 16384)
            chunk += FloodLine(sent.Lines++, lineBytes);
        for (qsizetype done = 0; done < chunk.size();) {
            const ssize_t n = write(master, chunk.constData() + done, size_t(chunk.size() - done));
            if (n <= 0)
                _exit(1);
            done += n;
        }
        sent.Bytes += chunk.size();
    }
    // Line mode empties the panel on every 101st line; the sentinel must not be
    // one of those, or the console could not show that the flood has ended.
    if ((sent.Lines + 1) % (MaxMessageLines + 1) == 0) {
        const QByteArray extra = FloodLine(sent.Lines++, lineBytes);
        if (write(master, extra.constData(), size_t(extra.size())) != extra.size())
            _exit(1);
        sent.Bytes += extra.size();
    }
    const QByteArray end = Sentinel.toLatin1() + '\n';
    if (write(master, end.constData(), size_t(end.size())) != end.size())
        _exit(1);
    if (write(resultPipe, &sent, sizeof sent) != sizeof sent)
        _exit(1);
    // A closed master would hang the console's side up mid-measurement.
    (void)!read(goPipe, &go, 1);
    _exit(0);
}

// The panel's last lines: the sentinel, and before it a run of consecutive numbers.
struct PanelTail {
    bool SentinelShown = false;
    bool Consecutive = true;
    long LastNumber = -1;
    int LinesChecked = 0;
};

// Each routed line ends with a line break, so the panel ends in an empty block.
QTextBlock LastTextBlock(const QTextDocument& doc)
{
    QTextBlock block = doc.lastBlock();
    while (block.isValid() && block.text().trimmed().isEmpty())
        block = block.previous();
    return block;
}

PanelTail ReadPanelTail(const QTextDocument& doc)
{
    PanelTail tail;
    QTextBlock block = LastTextBlock(doc);
    if (!block.isValid() || !block.text().startsWith(Sentinel))
        return tail;
    tail.SentinelShown = true;
    long expectedBefore = -1;
    for (block = block.previous(); block.isValid(); block = block.previous()) {
        bool ok = false;
        const long number = block.text().left(8).toLong(&ok);
        if (!ok)
            break;
        if (tail.LastNumber < 0)
            tail.LastNumber = number;
        else if (number != expectedBefore)
            tail.Consecutive = false;
        expectedBefore = number - 1;
        ++tail.LinesChecked;
    }
    return tail;
}

// The far end's pseudo-terminal and the flooding child on it, forked before
// Qt starts, so the child is a plain process with nothing of Qt's.
struct FloodedTerminal {
    std::string Slave;
    int SlaveFd = -1, Go = -1, Result = -1;
    pid_t Child = -1;

    bool Start(double seconds, int lineBytes)
    {
        int master = -1;
        char name[256] = {};
        if (openpty(&master, &SlaveFd, name, nullptr, nullptr) != 0)
            return false;
        Slave = name;
        termios raw{};
        tcgetattr(SlaveFd, &raw);
        cfmakeraw(&raw);
        tcsetattr(SlaveFd, TCSANOW, &raw);
        int goPipe[2], resultPipe[2];
        if (pipe(goPipe) != 0 || pipe(resultPipe) != 0)
            return false;
        Child = fork();
        if (Child == 0) {
            close(SlaveFd);
            close(goPipe[1]);
            close(resultPipe[0]);
            Flood(master, goPipe[0], resultPipe[1], seconds, lineBytes);
        }
        close(master);
        close(goPipe[0]);
        close(resultPipe[1]);
        Go = goPipe[1];
        Result = resultPipe[0];
        return Child > 0;
    }
    ~FloodedTerminal()
    {
        if (Child > 0) {
            kill(Child, SIGKILL);
            waitpid(Child, nullptr, 0);
        }
    }
};

// One flood into a console whose COM 1 is comOne; prints its figures.
bool Measure(FloodedTerminal& line, const QString& via, const QString& comOne, double seconds, int lineBytes)
{
    bench::Console console(comOne);
    if (!console.OpenComOne()) {
        std::fprintf(stderr, "%s did not open: %s\n", qPrintable(comOne), qPrintable(console.Services.Messages.join(' ')));
        return false;
    }
    // The console (or ser2net) holds its own descriptor now; ours would only keep a stale one.
    close(line.SlaveFd);
    line.SlaveFd = -1;
    if (!FindControl<QRadioButton>(console.Window, "OptionLineCmd")->isChecked()) {
        std::fprintf(stderr, "the console did not start in line mode\n");
        return false;
    }
    std::printf("receive capacity over %s: %d-byte lines for %.1f s into line mode\n", qPrintable(via), lineBytes, seconds);
    std::fflush(stdout);

    QEventLoop loop;
    std::vector<double> probeTimes;
    probeTimes.reserve(size_t(seconds * 1000 / ProbeMs) + 1000);
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] { probeTimes.push_back(bench::MonotonicSeconds()); });

    double firstReceive = -1, lastReceive = -1, cpuAtFirst = 0, cpuAtEnd = 0;
    QTextDocument* panel = FindControl<TextPanel>(console.Window, "TextInfo")->document();
    // Connected after the window's own handler, so it sees each chunk already routed.
    QObject::connect(&console.Port, &SerialPort::LineEvent, [&](int code) {
        if (code != LineEventCode::Receive)
            return;
        if (firstReceive < 0) {
            firstReceive = bench::MonotonicSeconds();
            cpuAtFirst = bench::OwnCpuSeconds();
        }
        if (console.Window.Controller().Receive().LineBuffer.isEmpty() && LastTextBlock(*panel).text().startsWith(Sentinel)) {
            lastReceive = bench::MonotonicSeconds();
            cpuAtEnd = bench::OwnCpuSeconds();
            loop.quit();
        }
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);

    probe.start(ProbeMs);
    probeTimes.push_back(bench::MonotonicSeconds());
    limit.start(int(seconds * 1000) + 60000);
    const char go = 1;
    if (write(line.Go, &go, 1) != 1)
        return false;
    loop.exec();
    probe.stop();

    FloodResult sent;
    const bool finished = lastReceive > 0;
    if (finished && read(line.Result, &sent, sizeof sent) != sizeof sent)
        sent = FloodResult();
    const PanelTail tail = ReadPanelTail(*panel);
    console.Port.Close();

    bench::Report report(QStringLiteral("receive_capacity"));
    report.Note(QStringLiteral("via"), via);
    report.Note(QStringLiteral("lineBytes"), lineBytes);
    report.Note(QStringLiteral("floodSeconds"), seconds);
    report.Note(QStringLiteral("linesSent"), qint64(sent.Lines));
    report.Note(QStringLiteral("bytesSent"), qint64(sent.Bytes));
    const bool intact = finished && tail.SentinelShown && tail.Consecutive && tail.LastNumber == sent.Lines - 1;
    report.Note(QStringLiteral("panelTailIntact"), intact);
    if (!finished || sent.Lines == 0) {
        report.Target(QStringLiteral("finished"), QStringLiteral("flood routed to its end"), 0, QString(), 1, 0, true);
        report.Print(QStringLiteral("Receive capacity over %1: the flood never reached its end").arg(via));
        return false;
    }

    const double wall = lastReceive - firstReceive;
    const double bytes = double(sent.Bytes) + Sentinel.size() + 1;
    const double bytesPerSecond = bytes / wall;
    std::vector<double> gaps;
    for (size_t i = 1; i < probeTimes.size(); ++i)
        gaps.push_back((probeTimes[i] - probeTimes[i - 1]) * 1000);
    const double longestGap = gaps.empty() ? std::nan("") : *std::max_element(gaps.begin(), gaps.end());

    report.Figure(QStringLiteral("seconds"), QStringLiteral("routing time"), wall, QStringLiteral("s"), 3);
    report.Figure(QStringLiteral("linesPerSecond"), QStringLiteral("lines routed per second"),
                  double(sent.Lines + 1) / wall, QStringLiteral("lines/s"), 0);
    report.Figure(QStringLiteral("bytesPerSecond"), QStringLiteral("bytes routed per second"), bytesPerSecond,
                  QStringLiteral("B/s"), 0);
    report.Target(QStringLiteral("lineRateRatio"), QStringLiteral("x the 19200-baud line rate"),
                  bytesPerSecond / LineRateBytesPerSecond, QStringLiteral("x"), 100, 1, true);
    report.Figure(QStringLiteral("cpuSecondsPerMB"), QStringLiteral("console CPU per MB"),
                  (cpuAtEnd - cpuAtFirst) / (bytes / 1e6), QStringLiteral("s/MB"), 3);
    report.Figure(QStringLiteral("cpuShare"), QStringLiteral("console CPU share"), (cpuAtEnd - cpuAtFirst) / wall,
                  QStringLiteral("cores"), 2);
    report.Target(QStringLiteral("longestStallMs"), QStringLiteral("longest probe gap"), longestGap,
                  QStringLiteral("ms"), 50, 1);
    report.Figure(QStringLiteral("probeGapP99Ms"), QStringLiteral("probe gap p99"), bench::Percentile(gaps, 99),
                  QStringLiteral("ms"), 1);
    report.Print(QStringLiteral("Receive capacity over %1 (%2 lines of %3 bytes%4)")
                     .arg(via)
                     .arg(sent.Lines + 1)
                     .arg(lineBytes)
                     .arg(intact ? QString() : QStringLiteral(", PANEL TAIL NOT INTACT")));
    return intact;
}

} // namespace

int main(int argc, char** argv)
{
    double seconds = 10;
    int lineBytes = 24;
    bool ptyOnly = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--quick")
            seconds = 3;
        else if (arg == "--seconds" && i + 1 < argc)
            seconds = QByteArray(argv[++i]).toDouble();
        else if (arg == "--line-bytes" && i + 1 < argc)
            lineBytes = qBound(12, QByteArray(argv[++i]).toInt(), 4000);
        else if (arg == "--pty-only")
            ptyOnly = true;
        else {
            std::fprintf(stderr, "usage: %s [--quick] [--seconds S] [--line-bytes N] [--pty-only]\n", argv[0]);
            return 2;
        }
    }

    FloodedTerminal local, remote;
    if (!local.Start(seconds, lineBytes) || (!ptyOnly && !remote.Start(seconds, lineBytes))) {
        std::perror("pseudo-terminal or flooder");
        return 1;
    }
    bench::PreferOffscreen();
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    bool ok = Measure(local, QStringLiteral("pty"), QString::fromStdString(local.Slave), seconds, lineBytes);
    if (ptyOnly)
        return ok ? 0 : 1;
    Ser2Net server(QString::fromStdString(remote.Slave), Ser2Net::Mode::Rfc2217);
    if (!server.Start()) {
        std::fprintf(stderr, "ser2net did not start: %s\n", qPrintable(server.Output()));
        return 1;
    }
    ok = Measure(remote, QStringLiteral("rfc2217"), QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.Port()), seconds,
                 lineBytes) && ok;
    return ok ? 0 : 1;
}
