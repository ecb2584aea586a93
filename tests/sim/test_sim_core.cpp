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
#include "simulator/SimOptions.h"
#include "simulator/TraceRecord.h"

using namespace sim;

namespace {
CommandInterpreter MakeInterpreter(const QString& model = {})
{
    const SupplyModelInfo& info = model.isEmpty() ? DefaultModel(2) : *FindModel(model.toStdString());
    return CommandInterpreter(SimulatedSupply(info, {10, 10}, DefaultNoiseSeed, false));
}

// The arguments split at spaces.
ParsedOptions Parse(const QString& args)
{
    std::vector<std::string> arguments;
    for (const QString& arg : args.split(' ', Qt::SkipEmptyParts))
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

// Plays a script of received lines, work and wake-ups against a runner.
void CheckRunner(const char* name, const std::vector<InjectedFault>& faults, const QStringList& script)
{
    CommandInterpreter interpreter = MakeInterpreter();
    CommandRunner runner(interpreter, faults, 0);
    for (const QString& step : script) {
        const QString verb = step.section(' ', 0, 0);
        const double time = step.section(' ', 1, 1).toDouble();
        const QString rest = step.section(' ', 2);
        if (verb == "recv") {
            runner.Receive(rest.toStdString(), time);
        } else if (verb == "work") {
            QStringList seen;
            for (const InstrumentEvent& event : runner.Work(time)) {
                seen << QString("%1%2:%3").arg("REF"[int(event.What)]).arg(event.Seconds, 0, 'f', 3).arg(QString::fromStdString(event.Text));
            }
            QVERIFY2(seen.join('|') == rest, qPrintable(QStringLiteral("%1: %2 got %3").arg(name, step, seen.join('|'))));
        } else if (verb == "wake") {
            QVERIFY2(std::fabs(runner.NextWakeAt() - time) < 1e-9, qPrintable(name + QStringLiteral(": ") + step + " got " + QString::number(runner.NextWakeAt())));
        } else {
            QFAIL(qPrintable("bad step " + step));
        }
    }
}

// What the options came to, in short.
QString Summary(const SimOptions& o)
{
    QStringList loads, parts;
    for (double ohms : o.LoadOhms)
        loads << QString::number(ohms);
    parts << QString::fromStdString(o.Model.Name) << "loads " + loads.join(',') << (o.CrLf ? "CRLF" : "LF");
    for (const InjectedFault& f : o.Faults)
        parts << (f.AtSeconds >= 0 ? QString("fault %1@%2").arg(f.Error).arg(f.AtSeconds) : QString("fault %1#%2").arg(f.Error).arg(f.AfterCommands));
    if (o.TcpPort >= 0)
        parts << QString("tcp %1 %2").arg(QString::fromStdString(o.TcpHost)).arg(o.TcpPort);
    for (std::uint64_t reply : o.DropReplies)
        parts << "drop " + QString::number(reply);
    for (const StrayLine& stray : o.Strays)
        parts << QString("stray %1:%2").arg(stray.AfterReply).arg(QString::fromStdString(stray.Text));
    if (o.SilentForSeconds >= 0)
        parts << QString("silent %1,%2,%3").arg(o.SilentAfterSeconds).arg(o.SilentForSeconds).arg(o.SilentEverySeconds);
    if (o.Demo)
        parts << "demo";
    return parts.join(' ');
}
}

// The simulator's instrument logic, driven line by line without a terminal.
class TestSimCore : public QObject {
    Q_OBJECT
private slots:
    void Commands();
    void Framing();
    void PacedRelease();
    void SpoiledReplies();
    void OneCommandAtATime();
    void RecordRoundTrip();
    void Options();
    void Presence();
};

void TestSimCore::Commands()
{
    // model: empty for the two-output default, "demo" for it running its demonstration;
    // errors: the whole error queue, read out afterwards. Both outputs drive 10 ohms.
    static const struct { const char* name; QString model; QStringList commands; const char* replies; const char* errors; } cases[] = {
        {"identity, case, blanks, default channel", {}, {"*IDN?", "SYST:VERS?", "sour:volt  P2 , 7.25 ", "Sour:Volt 12.5", "SOUR:VOLT?", "SOUR:VOLT? P2"}, "QPX-30R03D|1.00|12.500|7.250", ""},
        {"MIN, MAX, rounding", {}, {"SOUR:VOLT MAX", "SOUR:VOLT?", "SOUR:CURR P2,min", "SOUR:CURR? P2", "SOUR:VOLT 1.23456", "SOUR:VOLT?"}, "30.000|0.000|1.235", ""},
        {"refused settings keep the old values, empty lines are ignored", {},
         {"SOUR:VOLT 30.001", "SOUR:CURR P1,-0.1", "SOUR:VOLT 12V", "SOUR:VOLT P1", "SOUR:VOLT P1,1,2", "SOUR:VOLT P3,1", "FOO", "", "   ", "SOUR:VOLT?", "SOUR:CURR?"},
         "0.000|3.000", "105,106,102,103,103,104,101"},
        {"refused queries still answer", {}, {"*IDN? P1", "FOO?", "MEAS:VOLTS? 1,101", "MEAS:CURRS? P1,60.001,2"}, "ERROR - 103|ERROR - 101|ERROR - 105|ERROR - 105", "103,101,105,105"},
        {"appl both, partial, MAX/MIN", {}, {"APPL P2,12,1.5", "APPL P1,5", "APPL P1,,2", "APPL? P2", "APPL?", "APPL MAX,MIN", "APPL?"}, "12.000,1.500|5.000,2.000|30.000,0.000", ""},
        {"appl all or nothing", {}, {"APPL P1,1,1", "APPL P1,5,9", "APPL P1,,", "APPL?"}, "1.000,1.000", "105,103"},
        {"switches", {}, {"OUTP:STAT?", "OUTP:STAT MAYBE", "OUTP:STAT?", "OUTP:STAT 1", "OUTP:STAT?", "KEYB:LOCK on", "KEYB:LOCK?"}, "OFF|OFF|ON|ON", "102"},
        {"tracking copies P1 to P2", {}, {"APPL P1,4,2", "OUTP:TRACK ON", "APPL? P2", "APPL P1,9,1", "APPL? P2"}, "4.000,2.000|9.000,1.000", ""},
        {"tracking refuses P2 on its own, until it is off", {},
         {"OUTP:TRACK ON", "SOUR:VOLT P2,3", "SOUR:CURR P2,1", "APPL P2,2,2", "APPL? P2", "OUTP:TRACK OFF", "APPL P2,2,2", "APPL P1,5", "APPL? P2"},
         "0.000,3.000|2.000,2.000", "104,104,104"},
        {"reset keeps errors, clear empties them", {},
         {"FOO", "APPL P1,5,1", "OUTP:STAT ON", "OUTP:TRACK ON", "*RST", "APPL?", "OUTP:STAT?", "OUTP:TRACK?", "SYST:ERR?", "SOUR:VOLT -1", "*CLS"},
         "0.000,3.000|OFF|OFF|ERROR - 101", ""},
        {"measuring while off, then in series", {}, {"APPL P1,5,1", "MEAS:VOLT?", "MEAS:CURR?", "OUTP:STAT ON", "MEAS:VOLTS? P1,60,3", "MEAS:CURRS? 0.5"}, "0.000|0.000|5.000,5.000,5.000|0.500", ""},
        {"CV at the crossover, CC past it", {},
         {"APPL P1,5,0.5", "APPL P2,3,0.29", "OUTP:STAT ON", "MEAS:VOLT?", "MEAS:CURRA?", "SOUR:FLOW?", "MEAS:VOLTA? P2", "MEAS:CURR? P2", "SOUR:FLOW? P2"},
         "5.000|0.500|CV|2.900|0.290|CC", ""},
        {"the demonstration, ended by a reset", "demo",
         {"OUTP:STAT?", "APPL? P1", "APPL? P2", "MEAS:VOLT? P2", "SOUR:FLOW? P2", "OUTP:TRACK?", "*RST", "OUTP:STAT?", "MEAS:CURR? P2"},
         "ON|5.000,1.000|12.000,1.500|12.000|CV|OFF|OFF|0.000", ""},
        {"one output refuses P2", "QPX-30R03", {"*IDN?", "APPL 2,1", "APPL? P1", "APPL P2,1,1", "MEAS:VOLTA? P2", "APPL?"}, "QPX-30R03|2.000,1.000|ERROR - 104|2.000,1.000", "104,104"},
    };
    for (const auto& k : cases) {
        CommandInterpreter interpreter = MakeInterpreter(k.model == "demo" ? QString() : k.model);
        if (k.model == "demo")
            interpreter.StartDemo(1);
        const QString replies = RunAll(interpreter, k.commands);
        QVERIFY2(replies == QLatin1String(k.replies), qPrintable(QStringLiteral("%1: %2").arg(k.name, replies)));
        QStringList errors;
        for (QString error; errors.size() <= int(MaxQueuedErrors) && (error = RunAll(interpreter, {"SYST:ERR?"})) != "NO ERROR";)
            errors << error.mid(QStringLiteral("ERROR - ").size());
        QVERIFY2(errors.join(',') == QLatin1String(k.errors), qPrintable(QStringLiteral("%1: %2").arg(k.name, errors.join(','))));
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
    // 300 baud carries a byte each 1/30 s, and a line left idle saves up no credit.
    PacedOutput paced(300, 100);
    QVERIFY(paced.Push("abc", 0));
    QCOMPARE(std::string(paced.Ready(1)), std::string("abc"));
    paced.Consume(3);
    QVERIFY(paced.Push(std::string(30, 'x'), 5));
    QCOMPARE(paced.Ready(5).size(), std::size_t(0));
    QCOMPARE(paced.Ready(5.5).size(), std::size_t(15));
    QVERIFY(std::fabs(paced.NextCrossingAt(5.51) - 5.5333333) < 1e-6);
    // A console that stops reading gets no more than the capacity queued.
    PacedOutput unpaced(0, 10);
    QVERIFY(unpaced.Push("12345678", 0) && !unpaced.Push("abc", 0) && unpaced.Push("90", 0));
}

void TestSimCore::SpoiledReplies()
{
    // fates, per reply: s sent, d dropped, g garbled, then [text] for each stray behind it
    static const struct { const char* name; ReplyFaultPlan plan; const char* fates; } cases[] = {
        {"every second dropped, every third garbled, dropping wins on both", {2, 3, {}, {}}, "sdgdsd"},
        {"drop chosen replies, past the end too", {0, 0, {5, 2, 9}, {}}, "sdssds"},
        {"strays in order, behind a lost one too, never counted", {0, 3, {2}, {{2, "A"}, {6, ""}, {2, "B"}, {7, "never"}}}, "sd[A][B]gssg[]"},
    };
    const QStringList replies = {"12.345", "QPX-30R03D", "NO ERROR", "ERROR - 101", "CV", "0.000"};
    for (const auto& k : cases) {
        ReplyFaults faults(k.plan, DefaultNoiseSeed);
        QString seen;
        for (const QString& reply : replies) {
            const std::optional<std::string> passed = faults.Pass(reply.toStdString());
            const QByteArray original = reply.toLatin1();
            const QByteArray sent = passed ? QByteArray::fromStdString(*passed) : QByteArray();
            seen += !passed ? 'd' : sent == original ? 's' : 'g';
            for (const std::string& stray : faults.TakeStrays())
                seen += '[' + QString::fromStdString(stray) + ']';
            // A garbled reply keeps its length and has every character changed to a
            // printable one: one line the console cannot mistake for the right answer.
            for (int i = 0; passed && sent != original && i < original.size(); ++i)
                QVERIFY2(sent.size() == original.size() && sent[i] > ' ' && sent[i] < 0x7F && sent[i] != original[i], sent.constData());
        }
        QVERIFY2(seen == QLatin1String(k.fates), qPrintable(QStringLiteral("%1: %2").arg(k.name, seen)));
    }
}

void TestSimCore::OneCommandAtATime()
{
    // faults: {error, at seconds} or {error, -1, after commands}.
    // "recv T LINE" hands a line over at T; "work T EVENTS" expects what Work(T)
    // reports, as kind+time:text joined by "|" (R reply, E error, F fault);
    // "wake T" expects NextWakeAt() to be T (-1: nothing to wait for).
    const struct { const char* name; std::vector<InjectedFault> faults; QStringList script; } cases[] = {
        {"series replies with its last sample", {},
         {"recv 0 APPL 5,1", "recv 0 OUTP:STAT ON", "recv 0 MEAS:VOLTS? P1,0.1,5", "work 0 R0.400:5.000,5.000,5.000,5.000,5.000", "wake -1"}},
        {"commands behind a series wait their turn", {},
         {"recv 0 MEAS:CURRS? 0.25,3", "recv 0.1 *IDN?", "recv 0.2 SOUR:VOLT 99", "work 0.2 R0.500:0.000,0.000,0.000", "wake 0.5",
          "work 0.499 ", "work 0.5 R0.500:QPX-30R03D|E0.500:105", "wake -1"}},
        {"one sample or a refused series takes no time", {},
         {"recv 1 MEAS:VOLTS? P2,30", "recv 1 MEAS:VOLTS? P1,-1,5", "recv 1 *IDN?", "work 1 R1.000:0.000|E1.000:106|R1.000:ERROR - 106|R1.000:QPX-30R03D"}},
        {"timed fault before the query that reads it", {{1, 2}, {100, 0}},
         {"wake 0", "work 0 F0.000:100", "wake 2", "work 1.9 ", "recv 1.9 MEAS:VOLTS? 1,2", "recv 1.95 SYST:ERR?", "recv 1.95 SYST:ERR?",
          "recv 1.95 SYST:ERR?", "work 2.01 R2.900:0.000,0.000|F2.000:1", "wake 2.9", "work 3 R2.900:ERROR - 100|R2.900:ERROR - 1|R2.900:NO ERROR"}},
        {"fault after a count of commands, blank lines not counted", {{2, -1, 2}},
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
        {"terminal gone", RecordKind::Vanish, "/dev/pts/4", "VANISH\t/dev/pts/4"},
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

void TestSimCore::Options()
{
    // args: split at spaces; result: a summary of what was understood, or the refusal.
    // That an accepted command line holds together is the option fuzzer's to find out.
    struct Case { QString args, result; };
    std::vector<Case> cases = {
        {"", "QPX-30R03D loads 10,10 LF"},
        {"--model=qpx-30r05d --load 4.7 --crlf", "QPX-30R05D loads 4.7,4.7 CRLF"},
        {"--fault comm --fault=fan,at=1.5 --fault fan2,after=3", "QPX-30R03D loads 10,10 LF fault 100@0 fault 1@1.5 fault 2#3"},
        {"--tcp localhost:0 --drop-reply 3 --drop-reply=1 --stray-after 2 --stray-after=5=A=B,C --stray-after 5= --silent-after 0 --silent-for 1.5 --silent-every 2 --demo",
         "QPX-30R03D loads 10,10 LF tcp localhost 0 drop 3 drop 1 stray 2:ERROR - 101 stray 5:A=B,C stray 5: silent 0,1.5,2 demo"},
        {"--tcp=[::1]:65535", "QPX-30R03D loads 10,10 LF tcp ::1 65535"},
        {"--baud", "--baud takes a whole rate from 1 to 2147483647, e.g. 9600"},
        {"--model QPX-99", "unknown model QPX-99 (see --list-models)"},
        {"--return-after 1", "--return-after needs --vanish-after or --vanish-every"},
        {"--fault fan,after=0", "--fault takes fan, fan2 or comm, optionally followed by ,at=SECONDS (0 or more) or ,after=COMMANDS (1 or more), not \"fan,after=0\""},
    };
    cases.push_back({"--tcp ::1:5025", "--tcp takes HOST:PORT with a port from 0 to 65535 (0: any free one), e.g. 127.0.0.1:5025, not \"::1:5025\""});
    for (const Case& k : cases) {
        const ParsedOptions parsed = Parse(k.args);
        const QString result = parsed.Error.empty() ? Summary(parsed.Options) : QString::fromStdString(parsed.Error);
        QVERIFY2(result == k.result, qPrintable(k.args + " gave: " + result));
    }
}

void TestSimCore::Presence()
{
    // times: seconds after start-up at which the loop wakes;
    // steps: V or R with its time, >link on a return; then when next.
    const struct { const char* args; QList<double> times; const char* steps; } cases[] = {
        {"--vanish-after 2", {1, 2, 50}, "V2 exit"},
        {"--vanish-every 5 --return-after 1 --link L", {4.9, 5.5, 6.4, 6.5, 11.4, 11.5, 12.5},
         "V5.5 next 6.5 | R6.5>L next 11.5 | V11.5 next 12.5 | R12.5>L next 17.5"}, // the return counts from a late vanish
        {"--vanish-after 1 --vanish-every 5 --return-after 2 --link L", {1, 3, 7.9, 8}, "V1 next 3 | R3>L next 8 | V8 next 10"},
        {"--vanish-every 1 --return-after 1 --link L --return-as B", {1, 2, 3, 4, 5, 6},
         "V1 next 2 | R2>B next 3 | V3 next 4 | R4>L next 5 | V5 next 6 | R6>B next 7"},
        {"--vanish-every 1 --return-after 0 --link L", {100}, "V100 next 100 | R100>L next 101"}, // long overdue: one round at a time
    };
    for (const auto& k : cases) {
        const ParsedOptions parsed = Parse(k.args);
        QVERIFY2(parsed.Error.empty(), k.args);
        PresencePlan plan(parsed.Options, 0);
        QStringList seen;
        for (double now : k.times) {
            // The loop asks until nothing more is due, so one wake-up may do two steps.
            for (PresencePlan::Step step; (step = plan.Due(now)) != PresencePlan::Step::None;) {
                const bool back = step == PresencePlan::Step::Return;
                QVERIFY2(plan.Present() == back, k.args);
                seen << (back ? QString("R%1>%2").arg(now).arg(QString::fromStdString(plan.LinkPath())) : QString("V%1").arg(now))
                        + (back || plan.ReturnsAgain() ? QString(" next %1").arg(plan.NextAt()) : QString(" exit"));
            }
        }
        QVERIFY2(seen.join(" | ") == k.steps, qPrintable(QStringLiteral("%1: %2").arg(k.args, seen.join(" | "))));
    }
}

QTEST_GUILESS_MAIN(TestSimCore)
#include "test_sim_core.moc"
