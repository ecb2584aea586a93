// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/RunOptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include "link/DeviceBinding.h"
#include "link/PortSettings.h"
#include "pattern/MeasuredRun.h"

namespace {
constexpr int MaxRepeat = 100;              // the pattern window's repeat spinner
constexpr int MinIntervalMs = 500, MaxIntervalMs = 60000;   // the console's monitor spinner

// The option of `group` whose value the choices would record, as the port dialog offers them.
int ChoiceIndex(ChoiceGroup group, const std::function<bool(const CommInitChoices&)>& matches)
{
    for (int i = 0; i < ChoiceCount(group); ++i) {
        CommInitChoices probe;
        RecordChoice(probe, group, i);
        if (matches(probe))
            return i;
    }
    return -1;
}

CommInitChoices DefaultChoices()
{
    CommInitChoices choices;
    const DialogSelection defaults;
    for (int g = 0; g < ChoiceGroupCount; ++g)
        RecordChoice(choices, ChoiceGroup(g), defaults.Index[g]);
    return choices;
}

// "19200,N,8,1" as one of the port dialog's combinations, or false.
bool ReadSettings(const QString& text, CommInitChoices* choices)
{
    PortSettings s;
    if (!PortSettings::Parse(text, &s))
        return false;
    const int baud = ChoiceIndex(ChoiceGroup::Baud, [&](const CommInitChoices& c) { return c.SelectedBaud == s.Baud; });
    const int parity = ChoiceIndex(ChoiceGroup::Parity,
                                   [&](const CommInitChoices& c) { return c.SelectedParity == QString(s.Parity.toUpper()); });
    const int data = ChoiceIndex(ChoiceGroup::DataBits, [&](const CommInitChoices& c) { return c.SelectedDataBits == s.DataBits; });
    const int stop = ChoiceIndex(ChoiceGroup::StopBits, [&](const CommInitChoices& c) { return c.SelectedStopBits == s.StopBits; });
    if (baud < 0 || parity < 0 || data < 0 || stop < 0)
        return false;
    RecordChoice(*choices, ChoiceGroup::Baud, baud);
    RecordChoice(*choices, ChoiceGroup::Parity, parity);
    RecordChoice(*choices, ChoiceGroup::DataBits, data);
    RecordChoice(*choices, ChoiceGroup::StopBits, stop);
    return true;
}

std::optional<int> ReadWhole(const QString& text, int min, int max)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

std::optional<double> ReadPositive(const QString& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !(value > 0))
        return std::nullopt;
    return value;
}
}

std::optional<qint64> ParseDuration(const QString& text)
{
    static const QRegularExpression part(QStringLiteral("(\\d+(?:\\.\\d+)?)([hms]?)"));
    const QString t = text.trimmed().toLower();
    if (t.isEmpty())
        return std::nullopt;
    double ms = 0;
    qsizetype at = 0;
    bool plain = false;
    while (at < t.size()) {
        const QRegularExpressionMatch m = part.match(t, at, QRegularExpression::NormalMatch,
                                                     QRegularExpression::AnchorAtOffsetMatchOption);
        if (!m.hasMatch() || plain)
            return std::nullopt;
        const QString unit = m.captured(2);
        // A bare number is seconds, and only on its own.
        plain = unit.isEmpty();
        if (plain && at > 0)
            return std::nullopt;
        const double scale = unit == QLatin1String("h") ? 3600000.0 : unit == QLatin1String("m") ? 60000.0 : 1000.0;
        ms += m.captured(1).toDouble() * scale;
        at += m.capturedLength();
    }
    // A QTimer counts at most 24 days in one go; a run longer than that is not a night.
    if (!(ms >= 1) || ms > 24.0 * 24 * 3600000)
        return std::nullopt;
    return qint64(ms);
}

std::optional<RunOptions> ParseRunOptions(const QStringList& arguments, QString* error)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    auto valued = [](const char* name) { return QCommandLineOption(QLatin1String(name), QString(), QStringLiteral("x")); };
    const QCommandLineOption output = valued("output"), repeat = valued("repeat"), measure = valued("measure"),
                             limitV = valued("limit-voltage"), limitI = valued("limit-current"), report = valued("report"),
                             model = valued("model"), outputs = valued("outputs"), interval = valued("interval"),
                             duration = valued("for"), logFolder = valued("log-folder"), port = valued("port"),
                             settings = valued("settings"), flow = valued("flow");
    const QCommandLineOption quiet(QStringLiteral("quiet")), offOnStop(QStringLiteral("off-on-stop"));
    parser.addOptions({help, version, output, repeat, measure, limitV, limitI, report, model, outputs, interval,
                       duration, logFolder, port, settings, flow, quiet, offOnStop});
    auto fail = [error](const QString& why) {
        *error = why;
        return std::nullopt;
    };
    if (!parser.parse(QStringList{QStringLiteral("tarvio-run")} + arguments))
        return fail(parser.errorText());

    RunOptions o;
    o.Choices = DefaultChoices();
    if (parser.isSet(help))
        return o;
    if (parser.isSet(version)) {
        o.Job = RunJob::Version;
        return o;
    }
    const QStringList words = parser.positionalArguments();
    if (words.isEmpty())
        return fail(QStringLiteral("name a job: pattern FILE or monitor"));
    const QString job = words.first();
    if (job == QLatin1String("pattern")) {
        if (words.size() != 2)
            return fail(QStringLiteral("pattern takes one file"));
        o.Job = RunJob::Pattern;
        o.PatternPath = words.at(1);
    } else if (job == QLatin1String("monitor")) {
        if (words.size() != 1)
            return fail(QStringLiteral("monitor takes no file: \"%1\"").arg(words.at(1)));
        o.Job = RunJob::Monitor;
    } else {
        return fail(QStringLiteral("unknown job \"%1\": pattern or monitor").arg(job));
    }
    const bool pattern = o.Job == RunJob::Pattern;
    // An option of the other job is a mistake, not a wish to be ignored.
    for (const QCommandLineOption* own : {&output, &repeat, &measure, &report})
        if (!pattern && parser.isSet(*own))
            return fail(QStringLiteral("--%1 is for the pattern job").arg(own->names().first()));
    for (const QCommandLineOption* own : {&outputs, &interval, &duration, &logFolder})
        if (pattern && parser.isSet(*own))
            return fail(QStringLiteral("--%1 is for the monitor job").arg(own->names().first()));

    if (pattern) {
        if (!parser.isSet(output))
            return fail(QStringLiteral("pattern needs --output P1 or P2"));
        const QString out = parser.value(output).toUpper();
        if (out != QLatin1String("P1") && out != QLatin1String("P2"))
            return fail(QStringLiteral("--output takes P1 or P2, not \"%1\"").arg(parser.value(output)));
        o.Output = out == QLatin1String("P2") ? 2 : 1;
        if (parser.isSet(repeat)) {
            const QString r = parser.value(repeat);
            const std::optional<int> n = ReadWhole(r, 1, MaxRepeat);
            if (r == QLatin1String("forever"))
                o.Repeat = 0;
            else if (n)
                o.Repeat = *n;
            else
                return fail(QStringLiteral("--repeat takes 1 to %1 or forever, not \"%2\"").arg(MaxRepeat).arg(r));
        }
        if (parser.isSet(measure)) {
            const std::optional<int> ms = ReadWhole(parser.value(measure), MeasuredRun::MinIntervalMs, MaxIntervalMs);
            if (!ms)
                return fail(QStringLiteral("--measure takes %1 to %2 ms, as the pattern window's measuring interval")
                                .arg(MeasuredRun::MinIntervalMs)
                                .arg(MaxIntervalMs));
            o.MeasureMs = ms;
        }
        o.ReportPath = parser.value(report);
    } else {
        if (parser.isSet(outputs)) {
            const QString n = parser.value(outputs);
            if (n != QLatin1String("1") && n != QLatin1String("2"))
                return fail(QStringLiteral("--outputs takes 1 or 2, not \"%1\"").arg(n));
            o.DualLayout = n == QLatin1String("2");
        }
        if (parser.isSet(interval)) {
            const std::optional<int> ms = ReadWhole(parser.value(interval), MinIntervalMs, MaxIntervalMs);
            if (!ms)
                return fail(QStringLiteral("--interval takes %1 to %2 ms, as the console's monitor interval")
                                .arg(MinIntervalMs)
                                .arg(MaxIntervalMs));
            o.IntervalMs = *ms;
        }
        if (parser.isSet(duration)) {
            const std::optional<qint64> ms = ParseDuration(parser.value(duration));
            if (!ms)
                return fail(QStringLiteral("--for takes a duration such as 8h, 90m, 1h30m or 45s, not \"%1\"")
                                .arg(parser.value(duration)));
            o.ForMs = *ms;
        }
        o.LogFolder = parser.value(logFolder);
    }
    if (parser.isSet(model)) {
        const QString m = parser.value(model);
        if (m != QLatin1String("new") && m != QLatin1String("old"))
            return fail(QStringLiteral("--model takes new or old, not \"%1\"").arg(m));
        o.NewModel = m == QLatin1String("new");
    }
    for (auto [option, limit] : {std::pair{&limitV, &o.LimitVoltage}, std::pair{&limitI, &o.LimitCurrent}})
        if (parser.isSet(*option)) {
            *limit = ReadPositive(parser.value(*option));
            if (!*limit)
                return fail(QStringLiteral("--%1 takes a value above 0, not \"%2\"")
                                .arg(option->names().first(), parser.value(*option)));
        }
    if (parser.isSet(port)) {
        static const QRegularExpression com(QStringLiteral("^COM\\s*([1-4])$"), QRegularExpression::CaseInsensitiveOption);
        const QString p = parser.value(port);
        const QRegularExpressionMatch m = com.match(p);
        const NetworkAddress address = ParseNetworkAddress(p);
        if (m.hasMatch())
            o.PortNumber = m.captured(1).toInt();
        // A path has a separator: /dev/ttyUSB0, or Windows' \\.\COM10.
        else if (address.Valid()
                 || (address.Kind == NetworkKind::None && (p.contains(QLatin1Char('/')) || p.contains(QLatin1Char('\\')))))
            o.PortPath = p;
        else
            return fail(QStringLiteral("--port takes COM1 to COM4, a device path, tcp://HOST:PORT or "
                                       "rfc2217://HOST:PORT, not \"%1\"").arg(p));
    }
    RecordChoice(o.Choices, ChoiceGroup::Port, o.PortNumber - 1);
    if (parser.isSet(settings) && !ReadSettings(parser.value(settings), &o.Choices))
        return fail(QStringLiteral("--settings takes baud,parity,data,stop as the port dialog offers them "
                                   "(300 to 19200, N/O/E, 7 or 8, 1 or 2), not \"%1\"")
                        .arg(parser.value(settings)));
    if (parser.isSet(flow)) {
        const QString f = parser.value(flow);
        if (f == QLatin1String("rtscts"))
            o.Choices.SelectedFlow = Handshake::RtsCts;
        else if (f == QLatin1String("none"))
            o.Choices.SelectedFlow = Handshake::None;
        else
            return fail(QStringLiteral("--flow takes rtscts or none, not \"%1\"").arg(f));
    }
    o.Quiet = parser.isSet(quiet);
    o.OffOnStop = parser.isSet(offOnStop);
    return o;
}

QString RunHelpText()
{
    return QStringLiteral(
        "Usage: tarvio-run pattern FILE --output P1|P2 [options]\n"
        "  or:  tarvio-run monitor [options]\n"
        "Plays a pattern file on a programmable DC power supply, or polls and logs its\n"
        "measured voltage and current, as the Tarvio console does, without a window.\n"
        "\n"
        "Jobs:\n"
        "  pattern FILE           plays the pattern file as the pattern window plays it:\n"
        "                         APPL Pn,V,I ended by CR at each step's time, 55 ms ticks\n"
        "  monitor                polls as the console's monitor mode does and appends a\n"
        "                         record to the day's log file yymmdd_MS.txt at every interval;\n"
        "                         an adapter that is pulled out is opened again when it is back\n"
        "\n"
        "Pattern options:\n"
        "  --output P1|P2         the output to play on (required)\n"
        "  --repeat N|forever     repetitions, 1 to 100 (default 1), or until stopped\n"
        "  --measure MS           measure the output between steps every MS ms, 200 to 60000,\n"
        "                         with the queries monitoring uses for the model, as the\n"
        "                         pattern window's measured run does\n"
        "  --report PATH          the run's report (CSV): a file, or a folder that gets\n"
        "                         yymmdd_hhmmss_RUN.csv; with --measure or a limit and no\n"
        "                         --report it goes to the log folder, as the window's does\n"
        "\n"
        "Monitor options:\n"
        "  --outputs 1|2          one or two outputs (default 1)\n"
        "  --interval MS          log interval, 500 to 60000 ms (default 500)\n"
        "  --for DURATION         stop after DURATION: 8h, 90m, 1h30m, 45s (default: until a signal)\n"
        "  --log-folder DIR       where the daily log files go (default: beside the program,\n"
        "                         or ~/.local/share/Tarvio/ for an installed one)\n"
        "\n"
        "Common options:\n"
        "  --port COMn|PATH       COM1 to COM4 (default COM1), a device path, or a device\n"
        "                         server's line: tcp://HOST:PORT (raw) or rfc2217://HOST:PORT;\n"
        "                         TARVIO_COMn binds COM n to any of these as in the console\n"
        "  --settings B,P,D,S     baud, parity, data and stop bits (default 19200,N,8,1)\n"
        "  --flow rtscts|none     flow control (default rtscts)\n"
        "  --model new|old        the supply's model: new averages its measurements\n"
        "                         (MEAS:VOLTA?), old does not (MEAS:VOLT?); default new\n"
        "  --limit-voltage V      stop when a measured voltage exceeds V, and switch the\n"
        "                         output off (a pattern is then measured, every 500 ms\n"
        "                         unless --measure says otherwise)\n"
        "  --limit-current A      the same for a measured current above A\n"
        "  --off-on-stop          send OUTP:STAT OFF when the run is stopped or ends\n"
        "  --quiet                no progress on stderr\n"
        "  -h, --help             show this help and exit\n"
        "  -v, --version          show the version and exit\n"
        "\n"
        "Progress goes to stderr: one updating line on a terminal, otherwise one line per\n"
        "repetition (pattern) or per hour (monitor). On SIGINT or SIGTERM sending stops at\n"
        "once; with --off-on-stop or a limit, OUTP:STAT OFF is sent, and a measured\n"
        "run's report is written, before the exit.\n"
        "\n"
        "Exit status:\n"
        "  0    done, nothing tripped\n"
        "  1    a limit tripped, the supply reported errors in its queue, or log records or\n"
        "       the report could not be written\n"
        "  2    a wrong command line, or a pattern file that cannot be read (which step and why)\n"
        "  3    the port cannot be opened (the reason is printed)\n"
        "  4    the port was lost during a pattern run (a pattern never restarts by itself)\n"
        "  130  interrupted by SIGINT or SIGTERM\n");
}
