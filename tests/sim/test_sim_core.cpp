// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include <cmath>

#include "simulator/CommandInterpreter.h"
#include "simulator/CommandRunner.h"
#include "simulator/LineFramer.h"
#include "simulator/PacedOutput.h"
#include "simulator/PresencePlan.h"
#include "simulator/ReplyFaults.h"
#include "simulator/SilencePlan.h"
#include "simulator/SimOptions.h"
#include "simulator/TraceRecord.h"

using namespace sim;

namespace {
CommandInterpreter MakeInterpreter(const QString& model = {}, const std::vector<double>& loads = {})
{
    const SupplyModelInfo* info = model.isEmpty() ? &DefaultModel(2) : FindModel(model.toStdString());
    if (info == nullptr)
        qFatal("unknown model in test data");
    return CommandInterpreter(SimulatedSupply(*info, loads, DefaultNoiseSeed, false));
}

ParsedOptions Parse(const QStringList& args)
{
    std::vector<std::string> arguments;
    for (const QString& arg : args)
        arguments.push_back(arg.toStdString());
    return ParseOptions(arguments);
}

// Every reply line in order, so a stray reply to a set command shows up too.
QString RunAll(CommandInterpreter& interpreter, const QStringList& commands)
{
    QStringList replies;
    for (const QString& command : commands) {
        if (auto reply = interpreter.HandleCommand(command.toStdString()).Reply)
            replies << QString::fromStdString(*reply);
    }
    return replies.join(QLatin1Char('|'));
}

// Plays a script against a paced output; every byte pushed is the next
// letter, so a wrong byte shows as well as a wrong count.
void CheckPacing(const char* name, int baud, int capacity, const QStringList& script)
{
    PacedOutput output(baud, std::size_t(capacity));
    std::string pushed;
    std::size_t taken = 0;
    auto letters = [&](int count) {
        std::string bytes;
        for (int i = 0; i < count; ++i)
            bytes += char('a' + (pushed.size() + bytes.size()) % 26);
        return bytes;
    };
    for (const QString& step : script) {
        const QStringList words = step.split(' ');
        const double time = words.value(1).toDouble();
        if (words[0] == "push") {
            const std::string bytes = letters(words[2].toInt());
            const bool refused = words.value(3) == "refused";
            QVERIFY2(output.Push(bytes, time) != refused, qPrintable(QStringLiteral("%1: %2").arg(name, step)));
            if (!refused)
                pushed += bytes;
        } else if (words[0] == "ready") {
            const std::string_view ready = output.Ready(time);
            QVERIFY2(std::string(ready) == pushed.substr(taken, words[2].toULongLong()), qPrintable(QStringLiteral("%1: %2").arg(name, step)));
        } else if (words[0] == "take") {
            output.Consume(words[1].toULongLong());
            taken += words[1].toULongLong();
        } else if (words[0] == "next") {
            const double next = output.NextCrossingAt(time);
            QVERIFY2(std::fabs(next - words[2].toDouble()) < 1e-6, qPrintable(name + QStringLiteral(": ") + step + " got " + QString::number(next)));
        } else {
            QFAIL(qPrintable("bad step " + step));
        }
    }
    QCOMPARE(output.Size(), pushed.size() - taken);
}

// Plays a script of received lines, work and wake-ups against a runner.
void CheckRunner(const char* name, const QString& faults, const QStringList& script)
{
    std::vector<InjectedFault> planned;
    for (const QString& fault : faults.split(',', Qt::SkipEmptyParts)) {
        InjectedFault f;
        const bool byTime = fault.contains('@');
        const QStringList parts = fault.split(byTime ? '@' : '#');
        f.Error = parts[0].toInt();
        if (byTime)
            f.AtSeconds = parts[1].toDouble();
        else
            f.AfterCommands = parts[1].toULongLong();
        planned.push_back(f);
    }
    CommandInterpreter interpreter = MakeInterpreter({}, {10, 10});
    CommandRunner runner(interpreter, planned, 0);
    for (const QString& step : script) {
        const QString verb = step.section(' ', 0, 0);
        const double time = step.section(' ', 1, 1).toDouble();
        const QString rest = step.section(' ', 2);
        if (verb == "recv") {
            runner.Receive(rest.toStdString(), time);
        } else if (verb == "work") {
            QStringList seen;
            for (const InstrumentEvent& event : runner.Work(time)) {
                const char kind = event.What == InstrumentEvent::Kind::Reply ? 'R'
                    : event.What == InstrumentEvent::Kind::Error            ? 'E'
                                                                             : 'F';
                seen << QString("%1%2:%3").arg(kind).arg(event.Seconds, 0, 'f', 3).arg(QString::fromStdString(event.Text));
            }
            QVERIFY2(seen.join('|') == rest, qPrintable(QStringLiteral("%1: %2 got %3").arg(name, step, seen.join('|'))));
        } else if (verb == "wake") {
            QVERIFY2(std::fabs(runner.NextWakeAt() - time) < 1e-9, qPrintable(name + QStringLiteral(": ") + step + " got " + QString::number(runner.NextWakeAt())));
        } else {
            QFAIL(qPrintable("bad step " + step));
        }
    }
}
}

// The simulator's instrument logic, driven line by line without a terminal.
class TestSimCore : public QObject {
    Q_OBJECT
private slots:
    void Commands();
    void Crossover();
    void Framing();
    void PacedRelease();
    void SpoiledReplies();
    void Demo();
    void OneCommandAtATime();
    void RecordRoundTrip();
    void Options_data();
    void Options();
    void Presence_data();
    void Presence();
    void Silence();
};

void TestSimCore::Commands()
{
    // single: the one-output model instead of the default two; error: the first queued, 0 for none.
    static const struct { const char* name; bool single; QStringList commands; const char* replies; int error; } cases[] = {
        {"identity and version", false, {"*IDN?", "SYST:VERS?"}, "QPX-30R03D|1.00", 0},
        {"case, blanks, default channel", false, {"sour:volt  P2 , 7.25 ", "Sour:Volt 12.5", "SOUR:VOLT?", "SOUR:VOLT? P2"}, "12.500|7.250", 0},
        {"MIN, MAX, rounding", false, {"SOUR:VOLT MAX", "SOUR:VOLT?", "SOUR:CURR P2,min", "SOUR:CURR? P2", "SOUR:VOLT 1.23456", "SOUR:VOLT?"}, "30.000|0.000|1.235", 0},
        {"above rating keeps old value", false, {"SOUR:VOLT 30.001", "SOUR:VOLT?"}, "0.000", ErrorCode::AboveMaximum},
        {"negative", false, {"SOUR:CURR P1,-0.1"}, "", ErrorCode::BelowMinimum},
        {"not a number", false, {"SOUR:VOLT 12V"}, "", ErrorCode::BadParameter},
        {"channel without value", false, {"SOUR:VOLT P1"}, "", ErrorCode::ParameterCount},
        {"too many parameters", false, {"SOUR:VOLT P1,1,2"}, "", ErrorCode::ParameterCount},
        {"parameter on parameterless query", false, {"*IDN? P1"}, "ERROR - 103", ErrorCode::ParameterCount},
        {"unknown channel", false, {"SOUR:VOLT P3,1"}, "", ErrorCode::BadOutput},
        {"unknown query still answers", false, {"FOO?"}, "ERROR - 101", ErrorCode::UnknownCommand},
        {"empty lines ignored", false, {"", "   "}, "", 0},
        {"appl both, partial, MAX/MIN", false, {"APPL P2,12,1.5", "APPL P1,5", "APPL P1,,2", "APPL? P2", "APPL?", "APPL MAX,MIN", "APPL?"}, "12.000,1.500|5.000,2.000|30.000,0.000", 0},
        {"appl all or nothing", false, {"APPL P1,1,1", "APPL P1,5,9", "APPL?"}, "1.000,1.000", ErrorCode::AboveMaximum},
        {"appl nothing to apply", false, {"APPL P1,,"}, "", ErrorCode::ParameterCount},
        {"switches", false, {"OUTP:STAT?", "OUTP:STAT ON", "OUTP:STAT?", "KEYB:LOCK on", "KEYB:LOCK?"}, "OFF|ON|ON", 0},
        {"switch needs ON or OFF", false, {"OUTP:STAT MAYBE", "OUTP:STAT?"}, "OFF", ErrorCode::BadParameter},
        {"tracking copies P1 to P2", false, {"APPL P1,4,2", "OUTP:TRACK ON", "APPL? P2", "APPL P1,9,1", "APPL? P2"}, "4.000,2.000|9.000,1.000", 0},
        {"tracking refuses P2 on its own", false, {"OUTP:TRACK ON", "SOUR:VOLT P2,3", "SOUR:CURR P2,1", "APPL P2,2,2", "APPL? P2", "SOUR:VOLT? P2"}, "0.000,3.000|0.000", ErrorCode::BadOutput},
        {"tracking off frees P2", false, {"OUTP:TRACK ON", "OUTP:TRACK OFF", "APPL P2,2,2", "APPL P1,5", "APPL? P2"}, "2.000,2.000", 0},
        {"reset keeps errors", false, {"FOO", "APPL P1,5,1", "OUTP:STAT ON", "OUTP:TRACK ON", "*RST", "APPL?", "OUTP:STAT?", "OUTP:TRACK?"}, "0.000,3.000|OFF|OFF", ErrorCode::UnknownCommand},
        {"clear errors", false, {"FOO", "SOUR:VOLT -1", "*CLS"}, "", 0},
        {"errors in order", false, {"FOO", "SOUR:VOLT 99", "SYST:ERR?", "SYST:ERR?", "SYST:ERR?"}, "ERROR - 101|ERROR - 105|NO ERROR", 0},
        {"measure while off", false, {"APPL P1,5,1", "MEAS:VOLT?", "MEAS:CURR?"}, "0.000|0.000", 0},
        {"series of samples", false, {"APPL 5,1", "OUTP:STAT ON", "MEAS:VOLTS? P1,60,3", "MEAS:CURRS? 0.5"}, "5.000,5.000,5.000|0.500", 0},
        {"series count above cap", false, {"MEAS:VOLTS? 1,101"}, "ERROR - 105", ErrorCode::AboveMaximum},
        {"series interval above cap", false, {"MEAS:CURRS? P1,60.001,2"}, "ERROR - 105", ErrorCode::AboveMaximum},
        {"one output: identity, P1 works", true, {"*IDN?", "APPL 2,1", "APPL? P1"}, "QPX-30R03|2.000,1.000", 0},
        {"one output: set P2", true, {"APPL P2,1,1", "APPL?"}, "0.000,3.000", ErrorCode::BadOutput},
        {"one output: query P2", true, {"MEAS:VOLTA? P2"}, "ERROR - 104", ErrorCode::BadOutput},
    };
    for (const auto& k : cases) {
        CommandInterpreter interpreter = MakeInterpreter(k.single ? QStringLiteral("QPX-30R03") : QString());
        QVERIFY2(RunAll(interpreter, k.commands) == QLatin1String(k.replies), k.name);
        const QString firstError = k.error == 0 ? QStringLiteral("NO ERROR") : QStringLiteral("ERROR - %1").arg(k.error);
        QVERIFY2(RunAll(interpreter, {"SYST:ERR?"}) == firstError, k.name);
    }
}

void TestSimCore::Crossover()
{
    // expected: volts|amps|averaged volts|averaged amps|mode
    static const struct { const char* name; const char* channel; const char* setting; const char* expected; } cases[] = {
        {"CV at the crossover", "P1", "APPL P1,10,1", "10.000|1.000|10.000|1.000|CV"},
        {"CC just past it", "P1", "APPL P1,10.01,1", "10.000|1.000|10.000|1.000|CC"},
        {"CC far past it", "P1", "APPL P1,30,0.25", "2.500|0.250|2.500|0.250|CC"},
        {"P2 drives its own load", "P2", "APPL P2,5,3", "5.000|2.500|5.000|2.500|CV"},
    };
    for (const auto& k : cases) {
        CommandInterpreter interpreter = MakeInterpreter({}, {10, 2});
        RunAll(interpreter, {k.setting, "OUTP:STAT ON"});
        QStringList commands;
        for (const char* query : {"MEAS:VOLT? ", "MEAS:CURR? ", "MEAS:VOLTA? ", "MEAS:CURRA? ", "SOUR:FLOW? "})
            commands << QString::fromLatin1(query) + k.channel;
        QVERIFY2(RunAll(interpreter, commands) == QLatin1String(k.expected), k.name);
    }
}

void TestSimCore::Framing()
{
    const struct { const char* name; QStringList chunks; QString lines; } cases[] = {
        {"LF, CR and CR LF", {"A\nB\rC\r\nD\n"}, "A/LF|B/CR|C/CR|D/LF"},
        {"CR LF split across reads", {"A\r", "\nB\r"}, "A/CR|B/CR"},
        {"only one LF swallowed, LF CR is two", {"A\r\n\n", "B\n\rC\n"}, "A/CR|/LF|B/LF|/CR|C/LF"},
        {"command split, unfinished pending", {"SOUR:V", "OLT 1", "2\nBC"}, "SOUR:VOLT 12/LF"},
        {"overlong line cut", {QString(MaxLineLength + 10, 'x') + "\nB\n"}, QString(MaxLineLength, 'x') + "/LF|B/LF"},
    };
    for (const auto& k : cases) {
        LineFramer framer;
        QStringList framed;
        for (const QString& chunk : k.chunks) {
            const QByteArray bytes = chunk.toLatin1();
            for (const FramedLine& line : framer.Feed(bytes.constData(), bytes.size()))
                framed << QString::fromStdString(line.Text) + (line.Terminator == LineTerminator::Lf ? "/LF" : "/CR");
        }
        QVERIFY2(framed.join('|') == k.lines, k.name);
    }
}

void TestSimCore::PacedRelease()
{
    // "push T N" queues N bytes at T ("refused" when they must not fit),
    // "ready T N" expects N bytes let out by T, "take N" hands N to the
    // terminal, "next T S" expects the next byte across at S (-1: none on the line).
    const struct { const char* name; int baud, capacity; QStringList script; } cases[] = {
        {"one byte per character time", 300, 100,
         {"push 0 30", "ready 0 0", "next 0 0.0333333", "ready 0.51 15", "next 0.51 0.5333333", "ready 1 30", "ready 2 30", "next 2 -1"}},
        {"idle line earns no credit", 300, 100, {"push 0 3", "ready 1 3", "take 3", "push 5 30", "ready 5 0", "ready 5.5 15"}},
        {"taken bytes leave, the rest keep pace", 300, 100, {"push 0 30", "ready 0.5 15", "take 10", "ready 0.5 5", "take 2", "ready 1 18"}},
        {"capacity refuses what does not fit", 0, 10, {"push 0 8", "push 0 5 refused", "push 0 2", "ready 0 10", "take 4", "push 0 4", "ready 0 10"}},
    };
    for (const auto& k : cases)
        CheckPacing(k.name, k.baud, k.capacity, k.script);
}

void TestSimCore::SpoiledReplies()
{
    // fates, per reply: s sent, d dropped, g garbled, then [text] for each stray behind it
    static const struct { const char* name; int dropEvery, garbleEvery; std::vector<std::uint64_t> dropReplies;
                          std::vector<StrayLine> strays; const char* fates; } cases[] = {
        {"drop every second", 2, 0, {}, {}, "sdsdsd"},
        {"garble every third", 0, 3, {}, {}, "ssgssg"},
        {"dropping wins on a common multiple", 2, 3, {}, {}, "sdgdsd"},
        {"drop chosen replies, past the end too", 0, 0, {5, 2, 9}, {}, "sdssds"},
        {"strays in order, behind a lost one too, never counted",
         0, 3, {2}, {{2, "A"}, {6, ""}, {2, "B"}, {7, "never"}}, "sd[A][B]gssg[]"},
    };
    const QStringList replies = {"12.345", "QPX-30R03D", "NO ERROR", "ERROR - 101", "CV", "0.000"};
    for (const auto& k : cases) {
        ReplyFaults faults({k.dropEvery, k.garbleEvery, k.dropReplies, k.strays}, DefaultNoiseSeed);
        QString seen;
        for (const QString& reply : replies) {
            const std::optional<std::string> passed = faults.Pass(reply.toStdString());
            const QByteArray original = reply.toLatin1();
            const QByteArray sent = passed ? QByteArray::fromStdString(*passed) : QByteArray();
            seen += !passed ? 'd' : sent == original ? 's' : 'g';
            for (const std::string& stray : faults.TakeStrays())
                seen += '[' + QString::fromStdString(stray) + ']';
            if (!passed || sent == original)
                continue;
            // Same length and every character changed to a printable one: the
            // console gets one line it cannot mistake for the right answer.
            QVERIFY2(sent.size() == original.size(), k.name);
            for (int i = 0; i < sent.size(); ++i)
                QVERIFY2(sent[i] > ' ' && sent[i] < 0x7F && sent[i] != original[i], sent.constData());
        }
        QVERIFY2(seen == QLatin1String(k.fates), qPrintable(QStringLiteral("%1: %2").arg(k.name, seen)));
    }
}

namespace {
// Each "SECONDS COMMAND" carried out at its time on a demonstration's start; the replies joined by "|".
QString RunDemo(const char* model, std::uint64_t seed, const QStringList& script)
{
    CommandInterpreter interpreter(SimulatedSupply(*FindModel(model), {}, DefaultNoiseSeed, false));
    interpreter.StartDemo(seed);
    CommandRunner runner(interpreter, {}, 0);
    QStringList replies;
    for (const QString& step : script) {
        runner.Receive(step.section(' ', 1).toStdString(), step.section(' ', 0, 0).toDouble());
        for (const InstrumentEvent& event : runner.Work(1e9))
            replies << QString::fromStdString(event.Text);
    }
    return replies.join('|');
}
}

void TestSimCore::Demo()
{
    QCOMPARE(RunDemo("QPX-30R03D", 1, {"0 OUTP:STAT?", "0 APPL? P1", "0 APPL? P2", "7 MEAS:VOLT? P1", "30 MEAS:VOLTS? P2,10,3", "50 SOUR:FLOW? P2", "51 OUTP:TRACK?"}),
             QString("ON|5.000,1.000|12.000,1.500|5.000|12.000,12.000,12.000|CV|OFF"));
    QCOMPARE(RunDemo("QPX-30R05D", 1, {"1 *RST", "2 OUTP:STAT?", "2 APPL? P2", "3 MEAS:CURR? P2"}), QString("OFF|0.000,5.000|0.000"));
    // Settings that every model would have taken from the console.
    for (const SupplyModelInfo& model : KnownModels()) {
        CommandInterpreter check = MakeInterpreter(QString::fromStdString(model.Name));
        const QStringList settings = RunDemo(model.Name.c_str(), 1, {"0 APPL? P1", "0 APPL? P2"}).split('|');
        QCOMPARE(RunAll(check, {"APPL P1," + settings[0], "APPL P2," + settings[1], "SYST:ERR?"}), model.Outputs == 1 ? QString("ERROR - 104") : QString("NO ERROR"));
    }
}

void TestSimCore::OneCommandAtATime()
{
    // faults: "error@seconds" or "error#commands", comma-separated.
    // "recv T LINE" hands a line over at T; "work T EVENTS" expects what Work(T)
    // reports, as kind+time:text joined by "|" (R reply, E error, F fault);
    // "wake T" expects NextWakeAt() to be T (-1: nothing to wait for).
    const struct { const char* name; QString faults; QStringList script; } cases[] = {
        {"series replies with its last sample", "",
         {"recv 0 APPL 5,1", "recv 0 OUTP:STAT ON", "recv 0 MEAS:VOLTS? P1,0.1,5", "work 0 R0.400:5.000,5.000,5.000,5.000,5.000", "wake -1"}},
        {"commands behind a series wait their turn", "",
         {"recv 0 MEAS:CURRS? 0.25,3", "recv 0.1 *IDN?", "recv 0.2 SOUR:VOLT 99", "work 0.2 R0.500:0.000,0.000,0.000", "wake 0.5",
          "work 0.499 ", "work 0.5 R0.500:QPX-30R03D|E0.500:105", "wake -1"}},
        {"one sample takes no time", "", {"recv 1 MEAS:VOLTS? P2,30", "recv 1 *IDN?", "work 1 R1.000:0.000|R1.000:QPX-30R03D"}},
        {"refused series takes no time", "", {"recv 0 MEAS:VOLTS? P1,-1,5", "recv 0 *IDN?", "work 0 E0.000:106|R0.000:ERROR - 106|R0.000:QPX-30R03D"}},
        {"timed fault before the query that reads it", "1@2,100@0",
         {"wake 0", "work 0 F0.000:100", "wake 2", "work 1.9 ", "recv 1.9 MEAS:VOLTS? 1,2", "recv 1.95 SYST:ERR?", "recv 1.95 SYST:ERR?",
          "recv 1.95 SYST:ERR?", "work 2.01 R2.900:0.000,0.000|F2.000:1", "wake 2.9", "work 3 R2.900:ERROR - 100|R2.900:ERROR - 1|R2.900:NO ERROR"}},
        {"fault after a count of commands, blank lines not counted", "2#2",
         {"recv 0 *CLS", "recv 0  ", "work 0 ", "recv 1 *RST", "recv 1 SYST:ERR?", "work 1 F1.000:2|R1.000:ERROR - 2"}},
    };
    for (const auto& k : cases)
        CheckRunner(k.name, k.faults, k.script);
}

void TestSimCore::RecordRoundTrip()
{
    // line: as written, without the seconds
    const struct { const char* name; RecordKind kind; QByteArray text; QByteArray line; } cases[] = {
        {"command ended by CR", RecordKind::CommandCr, "APPL P1,5,1", "CR\tAPPL P1,5,1"},
        {"reply", RecordKind::Reply, "5.000,1.000", "OUT\t5.000,1.000"},
        {"tab, backslash, control, DEL escaped", RecordKind::CommandLf, QByteArray("A\tB\\\x01\x7F\r", 7), "LF\tA\\x09B\\x5C\\x01\\x7F\\x0D"},
        {"high bytes as they came", RecordKind::DroppedReply, "\xB0\xFF", "DROP\t\xB0\xFF"},
        {"empty line", RecordKind::CommandLf, QByteArray(), "LF\t"},
        {"error and fault", RecordKind::Fault, "100", "FAULT\t100"},
        {"terminal gone", RecordKind::Vanish, "/dev/pts/4", "VANISH\t/dev/pts/4"},
        {"terminal back", RecordKind::Return, "/dev/pts/5", "RETURN\t/dev/pts/5"},
    };
    for (const auto& k : cases) {
        const std::string written = FormatRecordLine({1234.5678904, k.kind, k.text.toStdString()});
        QVERIFY2(QByteArray::fromStdString(written) == "1234.567890\t" + k.line + "\n", k.name);
        const std::optional<RecordEntry> read = ParseRecordLine(written.substr(0, written.size() - 1));
        QVERIFY2(read && read->Kind == k.kind && QByteArray::fromStdString(read->Text) == k.text, k.name);
        QVERIFY2(std::fabs(read->Seconds - 1234.56789) < 1e-9, k.name);
    }
    for (const char* broken : {"1.0\tXX\ta", "1.0\tLF", "x\tLF\ta", "1.0\tLF\t\\x4", "1.0\tLF\t\\q41"})
        QVERIFY2(!ParseRecordLine(broken), broken);
}

void TestSimCore::Options_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("result"); // the error, or a summary of what was understood

    QTest::newRow("defaults") << QStringList{} << "QPX-30R03D loads 10,10 LF faults -";
    QTest::newRow("model, one load wired to both, equals form")
        << QStringList{"--model=qpx-30r05d", "--load", "4.7", "--crlf"} << "QPX-30R05D loads 4.7,4.7 CRLF faults -";
    QTest::newRow("faults: start-up, time, count")
        << QStringList{"--fault", "comm", "--fault=fan,at=1.5", "--fault", "fan2,after=3"} << "QPX-30R03D loads 10,10 LF faults 100@0 1@1.5 2#3";
    QTest::newRow("switch refuses a value") << QStringList{"--crlf=no"} << "--crlf takes no value";
    QTest::newRow("value missing") << QStringList{"--baud"} << "--baud takes a whole rate from 1 to 2147483647, e.g. 9600";
    QTest::newRow("negative seed") << QStringList{"--seed", "-1"} << "--seed takes a whole number from 0 to 18446744073709551615, not \"-1\"";
    QTest::newRow("outputs out of range") << QStringList{"--outputs=3"} << "--outputs takes 1 or 2, not \"3\"";
    QTest::newRow("seconds not finite") << QStringList{"--stop-after", "inf"} << "--stop-after takes seconds, 0 or more, not \"inf\"";
    QTest::newRow("unknown fault")
        << QStringList{"--fault", "smoke"} << "--fault takes fan, fan2 or comm, optionally followed by ,at=SECONDS (0 or more) or ,after=COMMANDS (1 or more), not \"smoke\"";
    QTest::newRow("fault after no commands")
        << QStringList{"--fault", "fan,after=0"} << "--fault takes fan, fan2 or comm, optionally followed by ,at=SECONDS (0 or more) or ,after=COMMANDS (1 or more), not \"fan,after=0\"";
    QTest::newRow("unknown model") << QStringList{"--model", "QPX-99"} << "unknown model QPX-99 (see --list-models)";
    QTest::newRow("outputs contradict model") << QStringList{"--outputs", "1", "--model", "QPX-30R03D"} << "--outputs 1 contradicts model QPX-30R03D";
    QTest::newRow("return without vanish") << QStringList{"--return-after", "1"} << "--return-after needs --vanish-after or --vanish-every";
    QTest::newRow("repeat without return") << QStringList{"--vanish-every", "5"} << "--vanish-every needs --return-after";
    QTest::newRow("repeat with no time present") << QStringList{"--vanish-every=0", "--return-after", "1"} << "--vanish-every takes seconds above 0, not \"0\"";
    QTest::newRow("renamed return without return")
        << QStringList{"--vanish-after", "1", "--link", "a", "--return-as", "b"} << "--return-as needs --return-after";
    QTest::newRow("renamed return without link")
        << QStringList{"--vanish-every", "1", "--return-after", "1", "--return-as", "b"} << "--return-as needs --link";
    QTest::newRow("renamed to its own name")
        << QStringList{"--vanish-every", "1", "--return-after", "1", "--link", "a", "--return-as", "a"} << "--return-as names the same path as --link";
    QTest::newRow("stable link over the returning one")
        << QStringList{"--vanish-every", "1", "--return-after", "1", "--link", "a", "--return-as", "b", "--stable-link", "b"}
        << "--stable-link names the same path as --link or --return-as";
    QTest::newRow("jitter without return") << QStringList{"--vanish-after", "1", "--return-jitter", "1"} << "--return-jitter needs --return-after";
    QTest::newRow("stable link path empty") << QStringList{"--stable-link="} << "--stable-link takes a path, not \"\"";
    QTest::newRow("too many loads") << QStringList{"--outputs", "1", "--load", "1,2"} << "--load gives more loads than QPX-30R03 has outputs";
    QTest::newRow("new faults, TCP, demo")
        << QStringList{"--tcp", "localhost:0", "--drop-reply", "3", "--drop-reply=1", "--stray-after", "2", "--stray-after=5=A=B,C",
                       "--stray-after", "5=", "--silent-after", "0", "--silent-for", "1.5", "--silent-every", "2", "--demo"}
        << "QPX-30R03D loads 10,10 LF faults - tcp localhost 0 drop 3 drop 1 stray 2:ERROR - 101 stray 5:A=B,C stray 5: silent 0,1.5,2 demo";
    QTest::newRow("IPv6 in brackets, highest port") << QStringList{"--tcp=[::1]:65535"} << "QPX-30R03D loads 10,10 LF faults - tcp ::1 65535";
    for (const char* address : {"127.0.0.1:65536", "127.0.0.1", "::1:5025", ":5025"})
        QTest::addRow("bad address %s", address) << QStringList{"--tcp", address}
            << QString("--tcp takes HOST:PORT with a port from 0 to 65535 (0: any free one), e.g. 127.0.0.1:5025, not \"%1\"").arg(address);
    QTest::newRow("tcp with a vanish") << QStringList{"--tcp", "127.0.0.1:0", "--vanish-after", "1"} << "--vanish-after works on the pseudo-terminal only, not with --tcp";
    QTest::newRow("stray with a line end") << QStringList{"--stray-after", "1=A\rB"}
                                           << "--stray-after takes a whole count from 1 to 18446744073709551615, optionally followed by =TEXT without line ends, not \"1=A\rB\"";
    QTest::newRow("silence with no start") << QStringList{"--silent-for", "1"} << "--silent-for needs --silent-after or --silent-every";
}

void TestSimCore::Options()
{
    QFETCH(QStringList, args);
    QFETCH(QString, result);

    const ParsedOptions parsed = Parse(args);
    if (!parsed.Error.empty()) {
        QCOMPARE(QString::fromStdString(parsed.Error), result);
        return;
    }
    const SimOptions& o = parsed.Options;
    QStringList loads, faults;
    for (double ohms : o.LoadOhms)
        loads << QString::number(ohms);
    for (const InjectedFault& f : o.Faults)
        faults << (f.AtSeconds >= 0 ? QString("%1@%2").arg(f.Error).arg(f.AtSeconds) : QString("%1#%2").arg(f.Error).arg(f.AfterCommands));
    QString summary = QString("%1 loads %2 %3 faults %4")
                          .arg(QString::fromStdString(o.Model.Name), loads.join(','), o.CrLf ? "CRLF" : "LF",
                               faults.isEmpty() ? "-" : faults.join(' '));
    summary += o.TcpPort < 0 ? QString() : QString(" tcp %1 %2").arg(QString::fromStdString(o.TcpHost)).arg(o.TcpPort);
    for (std::uint64_t reply : o.DropReplies)
        summary += " drop " + QString::number(reply);
    for (const StrayLine& stray : o.Strays)
        summary += QString(" stray %1:%2").arg(stray.AfterReply).arg(QString::fromStdString(stray.Text));
    if (o.SilentForSeconds >= 0)
        summary += QString(" silent %1,%2,%3").arg(o.SilentAfterSeconds).arg(o.SilentForSeconds).arg(o.SilentEverySeconds);
    summary += o.Demo ? " demo" : "";
    QCOMPARE(summary, result);
}

void TestSimCore::Presence_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QList<double>>("times"); // seconds after start-up at which the loop wakes
    QTest::addColumn<QString>("steps"); // V or R with its time, >link on a return; then when next

    QTest::newRow("vanish once and exit") << QStringList{"--vanish-after", "2"} << QList<double>{1, 2, 50}
                                          << "V2 exit";
    QTest::newRow("one cycle, then present for good")
        << QStringList{"--vanish-after", "2", "--return-after", "1", "--link", "L"} << QList<double>{2, 2.9, 3, 500}
        << "V2 next 3 | R3>L next -1";
    QTest::newRow("repeats; the return counts from a late vanish")
        << QStringList{"--vanish-every", "5", "--return-after", "1", "--link", "L"} << QList<double>{4.9, 5.5, 6.4, 6.5, 11.4, 11.5, 12.5}
        << "V5.5 next 6.5 | R6.5>L next 11.5 | V11.5 next 12.5 | R12.5>L next 17.5";
    QTest::newRow("vanish-after sets only the first")
        << QStringList{"--vanish-after", "1", "--vanish-every", "5", "--return-after", "2", "--link", "L"} << QList<double>{1, 3, 7.9, 8}
        << "V1 next 3 | R3>L next 8 | V8 next 10";
    QTest::newRow("renamed returns take turns")
        << QStringList{"--vanish-every", "1", "--return-after", "1", "--link", "L", "--return-as", "B"} << QList<double>{1, 2, 3, 4, 5, 6}
        << "V1 next 2 | R2>B next 3 | V3 next 4 | R4>L next 5 | V5 next 6 | R6>B next 7";
    QTest::newRow("a wake-up long overdue does one round at a time")
        << QStringList{"--vanish-every", "1", "--return-after", "0", "--link", "L"} << QList<double>{100}
        << "V100 next 100 | R100>L next 101";
}

void TestSimCore::Presence()
{
    QFETCH(QStringList, args);
    QFETCH(QList<double>, times);
    QFETCH(QString, steps);

    const ParsedOptions parsed = Parse(args);
    QCOMPARE(QString::fromStdString(parsed.Error), QString());
    PresencePlan plan(parsed.Options, 0);
    QCOMPARE(QString::fromStdString(plan.LinkPath()), args.contains("--link") ? QString("L") : QString());
    QStringList seen;
    for (double now : times) {
        // The loop asks until nothing more is due, so one wake-up may do two steps.
        for (PresencePlan::Step step; (step = plan.Due(now)) != PresencePlan::Step::None;) {
            QCOMPARE(plan.Present(), step == PresencePlan::Step::Return);
            if (step == PresencePlan::Step::Vanish && !plan.ReturnsAgain()) {
                seen << QString("V%1 exit").arg(now);
                break;
            }
            seen << (step == PresencePlan::Step::Vanish ? QString("V%1").arg(now)
                                                        : QString("R%1>%2").arg(now).arg(QString::fromStdString(plan.LinkPath())))
                        + QString(" next %1").arg(plan.NextAt());
        }
    }
    QCOMPARE(seen.join(" | "), steps);
}

void TestSimCore::Silence()
{
    // times: seconds after start-up; states: at each, S silent or - answering, then when that next changes.
    const struct { const char* name; QStringList args; QList<double> times; const char* states; } cases[] = {
        {"once", {"--silent-after", "2", "--silent-for", "3"}, {0, 1.9999, 2, 4.9999, 5, 99}, "- 2 | - 2 | S 5 | S 5 | - -1 | - -1"},
        {"every, first after its own time", {"--silent-every", "4", "--silent-for", "1"}, {0, 4, 5, 8.9999, 9, 1004.5}, "- 4 | S 5 | - 9 | - 9 | S 10 | S 1005"},
        {"every, first at --silent-after", {"--silent-after", "1", "--silent-for", "2", "--silent-every", "3"}, {0.5, 1, 3, 6, 8, 11}, "- 1 | S 3 | - 6 | S 8 | - 11 | S 13"},
        {"stop during a silence: it never ends", {"--stop-after", "5", "--silent-after", "1", "--silent-for", "2", "--silent-every", "1"}, {3, 4, 5, 7}, "- 4 | S -1 | S -1 | S -1"},
        {"stop between silences", {"--stop-after", "6.5", "--silent-after", "1", "--silent-for", "2", "--silent-every", "1"}, {4, 6, 6.5}, "S 6 | - 6.5 | S -1"},
    };
    for (const auto& k : cases) {
        // Started at a time that is no round number, as the monotonic clock's never is.
        const double start = 8693.8083;
        const SilencePlan plan(Parse(k.args).Options, start);
        QStringList seen;
        for (double now : k.times) {
            const double next = plan.NextChangeAt(start + now);
            seen << QString("%1 %2").arg(plan.Silent(start + now) ? "S" : "-").arg(next < 0 ? -1 : std::round((next - start) * 1e6) / 1e6);
        }
        QVERIFY2(seen.join(" | ") == k.states, qPrintable(QStringLiteral("%1: %2").arg(k.name, seen.join(" | "))));
    }
}

QTEST_GUILESS_MAIN(TestSimCore)
#include "test_sim_core.moc"
