#include <QtTest>

#include <cmath>

#include "simulator/CommandInterpreter.h"
#include "simulator/LineFramer.h"
#include "simulator/PacedOutput.h"
#include "simulator/ReplyFaults.h"
#include "simulator/SimOptions.h"

namespace {
CommandInterpreter MakeInterpreter(const QString& model = {}, const std::vector<double>& loads = {})
{
    const SupplyModelInfo* info = model.isEmpty() ? &DefaultModel(2) : FindModel(model.toStdString());
    if (info == nullptr)
        qFatal("unknown model in test data");
    return CommandInterpreter(SimulatedSupply(*info, loads, DefaultNoiseSeed, false));
}

// Every reply line in order, so a stray reply to a set command shows up too.
QString RunAll(CommandInterpreter& interpreter, const QStringList& commands)
{
    QStringList replies;
    for (const QString& command : commands) {
        if (auto reply = interpreter.HandleCommand(command.toStdString()))
            replies << QString::fromStdString(*reply);
    }
    return replies.join(QLatin1Char('|'));
}
}

// The simulator's instrument logic, driven line by line without a terminal.
class TestSimCore : public QObject {
    Q_OBJECT
private slots:
    void Commands_data();
    void Commands();
    void Crossover_data();
    void Crossover();
    void Framing_data();
    void Framing();
    void PacedRelease_data();
    void PacedRelease();
    void SpoiledReplies_data();
    void SpoiledReplies();
};

void TestSimCore::Commands_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("replies");
    QTest::addColumn<int>("error"); // first queued error, 0 for none

    const QString dual;
    const QString single = QStringLiteral("QPX-30R03");

    QTest::newRow("identity and version") << dual << QStringList{"*IDN?", "SYST:VERS?"} << "QPX-30R03D|1.00" << 0;
    QTest::newRow("case, blanks, default channel") << dual << QStringList{"sour:volt  P2 , 7.25 ", "Sour:Volt 12.5", "SOUR:VOLT?", "SOUR:VOLT? P2"}
                                                   << "12.500|7.250" << 0;
    QTest::newRow("MIN, MAX, rounding") << dual << QStringList{"SOUR:VOLT MAX", "SOUR:VOLT?", "SOUR:CURR P2,min", "SOUR:CURR? P2", "SOUR:VOLT 1.23456", "SOUR:VOLT?"}
                                        << "30.000|0.000|1.235" << 0;
    QTest::newRow("above rating keeps old value") << dual << QStringList{"SOUR:VOLT 30.001", "SOUR:VOLT?"} << "0.000" << ErrorCode::AboveMaximum;
    QTest::newRow("negative") << dual << QStringList{"SOUR:CURR P1,-0.1"} << "" << ErrorCode::BelowMinimum;
    QTest::newRow("not a number") << dual << QStringList{"SOUR:VOLT 12V"} << "" << ErrorCode::BadParameter;
    QTest::newRow("channel without value") << dual << QStringList{"SOUR:VOLT P1"} << "" << ErrorCode::ParameterCount;
    QTest::newRow("too many parameters") << dual << QStringList{"SOUR:VOLT P1,1,2"} << "" << ErrorCode::ParameterCount;
    QTest::newRow("parameter on parameterless query") << dual << QStringList{"*IDN? P1"} << "ERROR - 103" << ErrorCode::ParameterCount;
    QTest::newRow("unknown channel") << dual << QStringList{"SOUR:VOLT P3,1"} << "" << ErrorCode::BadOutput;
    QTest::newRow("unknown query still answers") << dual << QStringList{"FOO?"} << "ERROR - 101" << ErrorCode::UnknownCommand;
    QTest::newRow("empty lines ignored") << dual << QStringList{"", "   "} << "" << 0;

    QTest::newRow("appl both, partial, MAX/MIN") << dual << QStringList{"APPL P2,12,1.5", "APPL P1,5", "APPL P1,,2", "APPL? P2", "APPL?", "APPL MAX,MIN", "APPL?"}
                                                 << "12.000,1.500|5.000,2.000|30.000,0.000" << 0;
    QTest::newRow("appl all or nothing") << dual << QStringList{"APPL P1,1,1", "APPL P1,5,9", "APPL?"} << "1.000,1.000" << ErrorCode::AboveMaximum;
    QTest::newRow("appl nothing to apply") << dual << QStringList{"APPL P1,,"} << "" << ErrorCode::ParameterCount;

    QTest::newRow("switches") << dual << QStringList{"OUTP:STAT?", "OUTP:STAT ON", "OUTP:STAT?", "KEYB:LOCK on", "KEYB:LOCK?"} << "OFF|ON|ON" << 0;
    QTest::newRow("switch needs ON or OFF") << dual << QStringList{"OUTP:STAT MAYBE", "OUTP:STAT?"} << "OFF" << ErrorCode::BadParameter;
    QTest::newRow("tracking copies P1 to P2") << dual << QStringList{"APPL P1,4,2", "OUTP:TRACK ON", "APPL? P2", "APPL P1,9,1", "APPL? P2"}
                                              << "4.000,2.000|9.000,1.000" << 0;
    QTest::newRow("reset keeps errors") << dual << QStringList{"FOO", "APPL P1,5,1", "OUTP:STAT ON", "OUTP:TRACK ON", "*RST", "APPL?", "OUTP:STAT?", "OUTP:TRACK?"}
                                        << "0.000,3.000|OFF|OFF" << ErrorCode::UnknownCommand;
    QTest::newRow("clear errors") << dual << QStringList{"FOO", "SOUR:VOLT -1", "*CLS"} << "" << 0;
    QTest::newRow("errors in order") << dual << QStringList{"FOO", "SOUR:VOLT 99", "SYST:ERR?", "SYST:ERR?", "SYST:ERR?"}
                                     << "ERROR - 101|ERROR - 105|NO ERROR" << 0;

    QTest::newRow("measure while off") << dual << QStringList{"APPL P1,5,1", "MEAS:VOLT?", "MEAS:CURR?"} << "0.000|0.000" << 0;
    QTest::newRow("series of samples") << dual << QStringList{"APPL 5,1", "OUTP:STAT ON", "MEAS:VOLTS? P1,100,3", "MEAS:CURRS? 0.5"}
                                       << "5.000,5.000,5.000|0.500" << 0;
    QTest::newRow("series count above cap") << dual << QStringList{"MEAS:VOLTS? 1,101"} << "ERROR - 105" << ErrorCode::AboveMaximum;

    QTest::newRow("one output: identity, P1 works") << single << QStringList{"*IDN?", "APPL 2,1", "APPL? P1"} << "QPX-30R03|2.000,1.000" << 0;
    QTest::newRow("one output: set P2") << single << QStringList{"APPL P2,1,1", "APPL?"} << "0.000,3.000" << ErrorCode::BadOutput;
    QTest::newRow("one output: query P2") << single << QStringList{"MEAS:VOLTA? P2"} << "ERROR - 104" << ErrorCode::BadOutput;
}

void TestSimCore::Commands()
{
    QFETCH(QString, model);
    QFETCH(QStringList, commands);
    QFETCH(QString, replies);
    QFETCH(int, error);

    CommandInterpreter interpreter = MakeInterpreter(model);
    QCOMPARE(RunAll(interpreter, commands), replies);
    const QString firstError = error == 0 ? QStringLiteral("NO ERROR") : QStringLiteral("ERROR - %1").arg(error);
    QCOMPARE(RunAll(interpreter, {"SYST:ERR?"}), firstError);
}

void TestSimCore::Crossover_data()
{
    QTest::addColumn<QString>("channel");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("expected"); // volts|amps|averaged volts|averaged amps|mode

    QTest::newRow("CV at the crossover") << "P1" << "APPL P1,10,1" << "10.000|1.000|10.000|1.000|CV";
    QTest::newRow("CC just past it") << "P1" << "APPL P1,10.01,1" << "10.000|1.000|10.000|1.000|CC";
    QTest::newRow("CC far past it") << "P1" << "APPL P1,30,0.25" << "2.500|0.250|2.500|0.250|CC";
    QTest::newRow("P2 drives its own load") << "P2" << "APPL P2,5,3" << "5.000|2.500|5.000|2.500|CV";
}

void TestSimCore::Crossover()
{
    QFETCH(QString, channel);
    QFETCH(QString, setting);
    QFETCH(QString, expected);

    CommandInterpreter interpreter = MakeInterpreter({}, {10, 2});
    RunAll(interpreter, {setting, "OUTP:STAT ON"});
    QStringList commands;
    for (const char* query : {"MEAS:VOLT? ", "MEAS:CURR? ", "MEAS:VOLTA? ", "MEAS:CURRA? ", "SOUR:FLOW? "})
        commands << QString::fromLatin1(query) + channel;
    QCOMPARE(RunAll(interpreter, commands), expected);
}

void TestSimCore::Framing_data()
{
    QTest::addColumn<QStringList>("chunks");
    QTest::addColumn<QString>("lines");

    QTest::newRow("LF, CR and CR LF") << QStringList{"A\nB\rC\r\nD\n"} << "A/LF|B/CR|C/CR|D/LF";
    QTest::newRow("CR LF split across reads") << QStringList{"A\r", "\nB\r"} << "A/CR|B/CR";
    QTest::newRow("only one LF swallowed, LF CR is two") << QStringList{"A\r\n\n", "B\n\rC\n"} << "A/CR|/LF|B/LF|/CR|C/LF";
    QTest::newRow("command split, unfinished pending") << QStringList{"SOUR:V", "OLT 1", "2\nBC"} << "SOUR:VOLT 12/LF";
    QTest::newRow("overlong line cut") << QStringList{QString(MaxLineLength + 10, 'x') + "\nB\n"}
                                       << QString(MaxLineLength, 'x') + "/LF|B/LF";
}

void TestSimCore::Framing()
{
    QFETCH(QStringList, chunks);
    QFETCH(QString, lines);

    LineFramer framer;
    QStringList framed;
    for (const QString& chunk : chunks) {
        const QByteArray bytes = chunk.toLatin1();
        for (const FramedLine& line : framer.Feed(bytes.constData(), bytes.size()))
            framed << QString::fromStdString(line.Text) + (line.Terminator == LineTerminator::Lf ? "/LF" : "/CR");
    }
    QCOMPARE(framed.join('|'), lines);
}

void TestSimCore::PacedRelease_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("capacity");
    // "push T N" queues N bytes at T ("refused" when they must not fit),
    // "ready T N" expects N bytes let out by T, "take N" hands N to the
    // terminal, "next T S" expects the next byte across at S (-1: none on the line).
    QTest::addColumn<QStringList>("script");

    QTest::newRow("one byte per character time") << 300 << 100
        << QStringList{"push 0 30", "ready 0 0", "next 0 0.0333333", "ready 0.5 15", "next 0.5 0.5333333",
                       "ready 1 30", "ready 2 30", "next 2 -1"};
    QTest::newRow("idle line earns no credit") << 300 << 100
        << QStringList{"push 0 3", "ready 1 3", "take 3", "push 5 30", "ready 5 0", "ready 5.5 15"};
    QTest::newRow("taken bytes leave, the rest keep pace") << 300 << 100
        << QStringList{"push 0 30", "ready 0.5 15", "take 10", "ready 0.5 5", "take 2", "ready 1 18"};
    QTest::newRow("capacity refuses what does not fit") << 0 << 10
        << QStringList{"push 0 8", "push 0 5 refused", "push 0 2", "ready 0 10", "take 4", "push 0 4", "ready 0 10"};
}

void TestSimCore::PacedRelease()
{
    QFETCH(int, baud);
    QFETCH(int, capacity);
    QFETCH(QStringList, script);

    PacedOutput output(baud, std::size_t(capacity));
    // Every byte pushed is the next letter, so a wrong byte shows as well as a wrong count.
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
            QVERIFY2(output.Push(bytes, time) != refused, qPrintable(step));
            if (!refused)
                pushed += bytes;
        } else if (words[0] == "ready") {
            const std::string_view ready = output.Ready(time);
            QVERIFY2(std::string(ready) == pushed.substr(taken, words[2].toULongLong()), qPrintable(step));
        } else if (words[0] == "take") {
            output.Consume(words[1].toULongLong());
            taken += words[1].toULongLong();
        } else if (words[0] == "next") {
            const double next = output.NextCrossingAt(time);
            QVERIFY2(std::fabs(next - words[2].toDouble()) < 1e-6, qPrintable(step + " got " + QString::number(next)));
        } else {
            QFAIL(qPrintable("bad step " + step));
        }
    }
    QCOMPARE(output.Size(), pushed.size() - taken);
}

void TestSimCore::SpoiledReplies_data()
{
    QTest::addColumn<int>("dropEvery");
    QTest::addColumn<int>("garbleEvery");
    QTest::addColumn<QString>("fates"); // per reply: s sent, d dropped, g garbled

    QTest::newRow("drop every second") << 2 << 0 << "sdsdsd";
    QTest::newRow("garble every third") << 0 << 3 << "ssgssg";
    QTest::newRow("dropping wins on a common multiple") << 2 << 3 << "sdgdsd";
}

void TestSimCore::SpoiledReplies()
{
    QFETCH(int, dropEvery);
    QFETCH(int, garbleEvery);
    QFETCH(QString, fates);

    const QStringList replies = {"12.345", "QPX-30R03D", "NO ERROR", "ERROR - 101", "CV", "0.000"};
    ReplyFaults faults(dropEvery, garbleEvery, DefaultNoiseSeed);
    QString seen;
    for (const QString& reply : replies) {
        const std::optional<std::string> passed = faults.Pass(reply.toStdString());
        if (!passed) {
            seen += 'd';
            continue;
        }
        const QByteArray original = reply.toLatin1();
        const QByteArray sent = QByteArray::fromStdString(*passed);
        if (sent == original) {
            seen += 's';
            continue;
        }
        seen += 'g';
        // Same length and every character changed to a printable one: the
        // console gets one line it cannot mistake for the right answer.
        QCOMPARE(sent.size(), original.size());
        for (int i = 0; i < sent.size(); ++i) {
            QVERIFY2(sent[i] > ' ' && sent[i] < 0x7F && sent[i] != original[i], sent.constData());
        }
    }
    QCOMPARE(seen, fates);
}

QTEST_GUILESS_MAIN(TestSimCore)
#include "test_sim_core.moc"
