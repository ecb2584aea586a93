#include <QtTest>

#include <cmath>

#include "simulator/CommandInterpreter.h"
#include "simulator/FloodSource.h"
#include "simulator/LineFramer.h"
#include "simulator/PacedOutput.h"
#include "simulator/ReplyFaults.h"
#include "simulator/SimOptions.h"

namespace {
CommandInterpreter MakeInterpreter(const QString& model = {}, const std::vector<double>& loads = {},
                                   bool noise = false, std::uint64_t seed = DefaultNoiseSeed)
{
    const SupplyModelInfo* info = model.isEmpty() ? &DefaultModel(2) : FindModel(model.toStdString());
    if (info == nullptr)
        qFatal("unknown model in test data");
    return CommandInterpreter(SimulatedSupply(*info, loads, seed, noise));
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

QStringList Repeat(const QString& command, int times)
{
    QStringList commands;
    for (int i = 0; i < times; ++i)
        commands << command;
    return commands;
}

QStringList ReadingsOf(CommandInterpreter& interpreter, const QString& query, int count)
{
    return RunAll(interpreter, Repeat(query, count)).split(QLatin1Char('|'));
}

double LargestDeviation(const QStringList& readings, double ideal)
{
    double largest = 0;
    for (const QString& reading : readings)
        largest = std::max(largest, std::fabs(reading.toDouble() - ideal));
    return largest;
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
    void NoiseIsSmallRepeatableAndNeverNegative();
    void Framing_data();
    void Framing();
    void RecordLine_data();
    void RecordLine();
    void Options_data();
    void Options();
    void OptionValues();
    void BytesCarriedByLine_data();
    void BytesCarriedByLine();
    void PacedRelease_data();
    void PacedRelease();
    void SpoiledReplies_data();
    void SpoiledReplies();
    void GarblingFollowsSeed();
    void Flood_data();
    void Flood();
};

void TestSimCore::Commands_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("replies");
    QTest::addColumn<int>("error");

    const QString dual;
    const QString single = QStringLiteral("QPX-30R03");

    QTest::newRow("identity") << dual << QStringList{"*IDN?"} << "QPX-30R03D" << 0;
    QTest::newRow("identity of another model") << "qpx-120t1.5" << QStringList{"*IDN?", "SOUR:VOLT MAX", "SOUR:CURR MAX", "APPL?"}
                                               << "QPX-120T1.5|120.000,1.500" << 0;
    QTest::newRow("version") << dual << QStringList{"SYST:VERS?"} << "1.00" << 0;
    QTest::newRow("keywords ignore case") << dual << QStringList{"sour:volt p1,3", "Sour:Volt? P1"} << "3.000" << 0;
    QTest::newRow("channel defaults to P1") << dual << QStringList{"SOUR:VOLT 12.5", "SOUR:VOLT?", "SOUR:VOLT? P2"}
                                            << "12.500|0.000" << 0;
    QTest::newRow("P2 leaves P1 alone") << dual << QStringList{"SOUR:CURR P2,1.25", "SOUR:CURR? P1", "SOUR:CURR? P2"}
                                        << "3.000|1.250" << 0;
    QTest::newRow("blanks around parameters") << dual << QStringList{"  SOUR:VOLT  P2 , 7.25 ", "SOUR:VOLT? P2 "}
                                              << "7.250" << 0;
    QTest::newRow("MIN and MAX") << dual << QStringList{"SOUR:VOLT P1,MAX", "SOUR:VOLT?", "SOUR:VOLT min", "SOUR:VOLT?"}
                                 << "30.000|0.000" << 0;
    QTest::newRow("value rounds to resolution") << dual << QStringList{"SOUR:VOLT 1.23456", "SOUR:VOLT?"} << "1.235" << 0;
    QTest::newRow("extra digits still at rating") << dual << QStringList{"SOUR:VOLT 30.0004", "SOUR:VOLT?"} << "30.000" << 0;
    QTest::newRow("number forms") << dual << QStringList{"SOUR:VOLT +.5", "SOUR:VOLT?", "SOUR:VOLT 1e1", "SOUR:VOLT?", "SOUR:VOLT 7.", "SOUR:VOLT?"}
                                  << "0.500|10.000|7.000" << 0;
    QTest::newRow("minus zero is zero") << dual << QStringList{"SOUR:VOLT -0", "SOUR:VOLT?"} << "0.000" << 0;
    QTest::newRow("above rating") << dual << QStringList{"SOUR:VOLT 30.001", "SOUR:VOLT?"} << "0.000" << ErrorCode::AboveMaximum;
    QTest::newRow("current above rating") << dual << QStringList{"SOUR:CURR P2,3.5"} << "" << ErrorCode::AboveMaximum;
    QTest::newRow("negative") << dual << QStringList{"SOUR:CURR P1,-0.1"} << "" << ErrorCode::BelowMinimum;
    QTest::newRow("not a number") << dual << QStringList{"SOUR:VOLT 12V"} << "" << ErrorCode::BadParameter;
    QTest::newRow("inf is not a number") << dual << QStringList{"SOUR:VOLT inf"} << "" << ErrorCode::BadParameter;
    QTest::newRow("hex is not a number") << dual << QStringList{"SOUR:VOLT 0x1"} << "" << ErrorCode::BadParameter;
    QTest::newRow("channel without value") << dual << QStringList{"SOUR:VOLT P1"} << "" << ErrorCode::ParameterCount;
    QTest::newRow("no parameters") << dual << QStringList{"SOUR:VOLT "} << "" << ErrorCode::ParameterCount;
    QTest::newRow("too many parameters") << dual << QStringList{"SOUR:VOLT P1,1,2"} << "" << ErrorCode::ParameterCount;
    QTest::newRow("unknown channel") << dual << QStringList{"SOUR:VOLT P3,1"} << "" << ErrorCode::BadOutput;
    QTest::newRow("failed query still answers") << dual << QStringList{"SOUR:VOLT? X"} << "ERROR - 104" << ErrorCode::BadOutput;
    QTest::newRow("unknown command") << dual << QStringList{"SOUR:POWER 1"} << "" << ErrorCode::UnknownCommand;
    QTest::newRow("unknown query") << dual << QStringList{"FOO?"} << "ERROR - 101" << ErrorCode::UnknownCommand;
    QTest::newRow("parameter on parameterless") << dual << QStringList{"*IDN? P1"} << "ERROR - 103" << ErrorCode::ParameterCount;
    QTest::newRow("empty lines ignored") << dual << QStringList{"", "   ", "\t"} << "" << 0;

    QTest::newRow("appl both") << dual << QStringList{"APPL P2,12,1.5", "APPL? P2", "APPL? P1"} << "12.000,1.500|0.000,3.000" << 0;
    QTest::newRow("appl without channel") << dual << QStringList{"APPL 4,0.5", "APPL?"} << "4.000,0.500" << 0;
    QTest::newRow("appl voltage only") << dual << QStringList{"APPL P1,1,0.5", "APPL P1,5", "APPL?"} << "5.000,0.500" << 0;
    QTest::newRow("appl current only") << dual << QStringList{"APPL P1,1,0.5", "APPL P1,,2", "APPL?"} << "1.000,2.000" << 0;
    QTest::newRow("appl MAX and MIN") << dual << QStringList{"APPL P1,MAX,MIN", "APPL?"} << "30.000,0.000" << 0;
    QTest::newRow("appl all or nothing") << dual << QStringList{"APPL P1,1,1", "APPL P1,5,9", "APPL?"} << "1.000,1.000" << ErrorCode::AboveMaximum;
    QTest::newRow("appl nothing to apply") << dual << QStringList{"APPL P1,,"} << "" << ErrorCode::ParameterCount;
    QTest::newRow("appl channel only") << dual << QStringList{"APPL P2"} << "" << ErrorCode::ParameterCount;

    QTest::newRow("output switch") << dual << QStringList{"OUTP:STAT?", "OUTP:STAT ON", "OUTP:STAT?", "OUTP:STAT off", "OUTP:STAT?"}
                                   << "OFF|ON|OFF" << 0;
    QTest::newRow("switch needs ON or OFF") << dual << QStringList{"OUTP:STAT MAYBE", "OUTP:STAT?"} << "OFF" << ErrorCode::BadParameter;
    QTest::newRow("switch needs one parameter") << dual << QStringList{"KEYB:LOCK"} << "" << ErrorCode::ParameterCount;
    QTest::newRow("key lock") << dual << QStringList{"KEYB:LOCK ON", "KEYB:LOCK?"} << "ON" << 0;
    QTest::newRow("tracking carries P1 to P2") << dual << QStringList{"OUTP:TRACK ON", "OUTP:TRACK?", "APPL P1,9,2", "APPL? P2"}
                                               << "ON|9.000,2.000" << 0;
    QTest::newRow("tracking starts from P1") << dual << QStringList{"APPL P1,4,2", "OUTP:TRACK ON", "APPL? P2"} << "4.000,2.000" << 0;
    QTest::newRow("no tracking, P2 stays") << dual << QStringList{"SOUR:VOLT P1,9", "SOUR:VOLT? P2"} << "0.000" << 0;
    QTest::newRow("reset") << dual << QStringList{"APPL P1,5,1", "OUTP:STAT ON", "OUTP:TRACK ON", "KEYB:LOCK ON", "*RST",
                                                  "APPL?", "OUTP:STAT?", "OUTP:TRACK?", "KEYB:LOCK?"}
                           << "0.000,3.000|OFF|OFF|OFF" << 0;
    QTest::newRow("reset keeps errors") << dual << QStringList{"FOO", "*RST"} << "" << ErrorCode::UnknownCommand;
    QTest::newRow("clear errors") << dual << QStringList{"FOO", "SOUR:VOLT -1", "*CLS"} << "" << 0;
    QTest::newRow("errors in order") << dual << QStringList{"FOO", "SOUR:VOLT 99", "SYST:ERR?", "SYST:ERR?", "SYST:ERR?"}
                                     << "ERROR - 101|ERROR - 105|NO ERROR" << 0;
    QTest::newRow("error queue keeps the first 16") << dual << Repeat("SOUR:VOLT 99", 3) + Repeat("FOO", 17) + Repeat("SYST:ERR?", 16)
                                                    << (Repeat("ERROR - 105", 3) + Repeat("ERROR - 101", 13)).join('|') << 0;

    QTest::newRow("measure off reads zero") << dual << QStringList{"APPL P1,5,1", "MEAS:VOLT?", "MEAS:CURR?"} << "0.000|0.000" << 0;
    QTest::newRow("series of samples") << dual << QStringList{"APPL 5,1", "OUTP:STAT ON", "MEAS:VOLTS? P1,100,3", "MEAS:CURRS? 0.5"}
                                       << "5.000,5.000,5.000|0.500" << 0;
    QTest::newRow("series on P2") << dual << QStringList{"APPL P2,2,1", "OUTP:STAT ON", "MEAS:CURRS? P2,10,2"} << "0.200,0.200" << 0;
    QTest::newRow("series needs an interval") << dual << QStringList{"MEAS:VOLTS? P1"} << "ERROR - 103" << ErrorCode::ParameterCount;
    QTest::newRow("series count at cap") << dual << QStringList{"MEAS:VOLTS? 1,100"} << Repeat("0.000", 100).join(',') << 0;
    QTest::newRow("series count above cap") << dual << QStringList{"MEAS:VOLTS? 1,101"} << "ERROR - 105" << ErrorCode::AboveMaximum;
    QTest::newRow("series count zero") << dual << QStringList{"MEAS:VOLTS? 1,0"} << "ERROR - 106" << ErrorCode::BelowMinimum;
    QTest::newRow("series count fractional") << dual << QStringList{"MEAS:VOLTS? 1,2.5"} << "ERROR - 102" << ErrorCode::BadParameter;
    QTest::newRow("series negative interval") << dual << QStringList{"MEAS:CURRS? -1"} << "ERROR - 106" << ErrorCode::BelowMinimum;

    QTest::newRow("single: identity") << single << QStringList{"*IDN?"} << "QPX-30R03" << 0;
    QTest::newRow("single: set P2") << single << QStringList{"SOUR:VOLT P2,1", "SOUR:VOLT?"} << "0.000" << ErrorCode::BadOutput;
    QTest::newRow("single: query P2") << single << QStringList{"SOUR:CURR? P2"} << "ERROR - 104" << ErrorCode::BadOutput;
    QTest::newRow("single: measure P2") << single << QStringList{"MEAS:VOLTA? P2"} << "ERROR - 104" << ErrorCode::BadOutput;
    QTest::newRow("single: apply P2") << single << QStringList{"APPL P2,1,1", "APPL?"} << "0.000,3.000" << ErrorCode::BadOutput;
    QTest::newRow("single: series P2") << single << QStringList{"MEAS:VOLTS? P2,1,2"} << "ERROR - 104" << ErrorCode::BadOutput;
    QTest::newRow("single: P1 works") << single << QStringList{"APPL P1,2,1", "APPL? P1"} << "2.000,1.000" << 0;
    QTest::newRow("single: tracking harmless") << single << QStringList{"OUTP:TRACK ON", "SOUR:VOLT 5", "SOUR:VOLT?"} << "5.000" << 0;
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

    QTest::newRow("CV well inside") << "P1" << "APPL P1,5,1" << "5.000|0.500|5.000|0.500|CV";
    QTest::newRow("CV at the crossover") << "P1" << "APPL P1,10,1" << "10.000|1.000|10.000|1.000|CV";
    QTest::newRow("CC just past it") << "P1" << "APPL P1,10.01,1" << "10.000|1.000|10.000|1.000|CC";
    QTest::newRow("CC far past it") << "P1" << "APPL P1,30,0.25" << "2.500|0.250|2.500|0.250|CC";
    QTest::newRow("CC with zero current") << "P1" << "APPL P1,5,0" << "0.000|0.000|0.000|0.000|CC";
    QTest::newRow("zero volts is CV") << "P1" << "APPL P1,0,1" << "0.000|0.000|0.000|0.000|CV";
    QTest::newRow("P2 drives its own load") << "P2" << "APPL P2,5,3" << "5.000|2.500|5.000|2.500|CV";
    QTest::newRow("P2 into CC") << "P2" << "APPL P2,5,1" << "2.000|1.000|2.000|1.000|CC";
}

void TestSimCore::Crossover()
{
    QFETCH(QString, channel);
    QFETCH(QString, setting);
    QFETCH(QString, expected);

    CommandInterpreter interpreter = MakeInterpreter({}, {10, 2});
    RunAll(interpreter, {setting, "OUTP:STAT ON"});
    const QStringList queries = {"MEAS:VOLT? ", "MEAS:CURR? ", "MEAS:VOLTA? ", "MEAS:CURRA? ", "SOUR:FLOW? "};
    QStringList commands;
    for (const QString& query : queries)
        commands << query + channel;
    QCOMPARE(RunAll(interpreter, commands), expected);
}

void TestSimCore::NoiseIsSmallRepeatableAndNeverNegative()
{
    const QStringList setup = {"APPL P1,12,2", "APPL P2,0,1", "OUTP:STAT ON"};
    CommandInterpreter first = MakeInterpreter({}, {}, true, 7);
    CommandInterpreter again = MakeInterpreter({}, {}, true, 7);
    CommandInterpreter other = MakeInterpreter({}, {}, true, 8);
    for (CommandInterpreter* interpreter : {&first, &again, &other})
        RunAll(*interpreter, setup);

    const QStringList readings = ReadingsOf(first, "MEAS:VOLT? P1", 200);
    QCOMPARE(ReadingsOf(again, "MEAS:VOLT? P1", 200), readings);
    QVERIFY(ReadingsOf(other, "MEAS:VOLT? P1", 200) != readings);
    const double instantaneous = LargestDeviation(readings, 12.0);
    QVERIFY2(instantaneous > 0.001 && instantaneous <= 0.0035, qPrintable(QString::number(instantaneous)));
    const double averaged = LargestDeviation(ReadingsOf(first, "MEAS:VOLTA? P1", 200), 12.0);
    QVERIFY2(averaged < instantaneous, qPrintable(QString::number(averaged)));

    // At zero volts the noise must not push a reading below zero.
    for (const QString& query : QStringList{"MEAS:VOLT? P2", "MEAS:CURR? P2"}) {
        for (const QString& reading : ReadingsOf(first, query, 100))
            QVERIFY2(!reading.startsWith('-'), qPrintable(reading));
    }
    RunAll(first, {"OUTP:STAT OFF"});
    QCOMPARE(RunAll(first, {"MEAS:VOLT? P1", "MEAS:CURR? P1"}), QStringLiteral("0.000|0.000"));
}

void TestSimCore::Framing_data()
{
    QTest::addColumn<QStringList>("chunks");
    QTest::addColumn<QString>("lines");

    QTest::newRow("LF") << QStringList{"*IDN?\n"} << "*IDN?/LF";
    QTest::newRow("CR") << QStringList{"APPL P1,1,2\r"} << "APPL P1,1,2/CR";
    QTest::newRow("CR LF is one terminator") << QStringList{"A\r\nB\n"} << "A/CR|B/LF";
    QTest::newRow("CR LF split across reads") << QStringList{"A\r", "\nB\r"} << "A/CR|B/CR";
    QTest::newRow("only one LF swallowed") << QStringList{"A\r\n\n"} << "A/CR|/LF";
    QTest::newRow("LF CR is two") << QStringList{"A\n\rB\n"} << "A/LF|/CR|B/LF";
    QTest::newRow("CR CR is two") << QStringList{"A\r\rB\n"} << "A/CR|/CR|B/LF";
    QTest::newRow("command split in three") << QStringList{"SOUR:V", "OLT 1", "2\n"} << "SOUR:VOLT 12/LF";
    QTest::newRow("several per read") << QStringList{"MEAS:VOLT? P1\nMEAS:CURR? P1\nMEAS:V", "OLT? P2\n"}
                                      << "MEAS:VOLT? P1/LF|MEAS:CURR? P1/LF|MEAS:VOLT? P2/LF";
    QTest::newRow("byte by byte") << QString("X\r\nY\r\nZ\n").split(QString(), Qt::SkipEmptyParts) << "X/CR|Y/CR|Z/LF";
    QTest::newRow("unfinished stays pending") << QStringList{"A\n", "BC"} << "A/LF";
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

void TestSimCore::RecordLine_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<bool>("crTerminated");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("line");

    QTest::newRow("LF command") << 12.5 << false << "*IDN?" << "12.500000\tLF\t*IDN?\n";
    QTest::newRow("CR command, microseconds") << 3605.0000012 << true << "APPL P1,1.000,0.500" << "3605.000001\tCR\tAPPL P1,1.000,0.500\n";
    QTest::newRow("trailing blank kept") << 1.0 << false << "SOUR:VOLT " << "1.000000\tLF\tSOUR:VOLT \n";
    QTest::newRow("empty command") << 1.0 << false << "" << "1.000000\tLF\t\n";
    QTest::newRow("controls escaped") << 1.0 << false << "a\tb\\c\x7f" << "1.000000\tLF\ta\\x09b\\x5Cc\\x7F\n";
}

void TestSimCore::RecordLine()
{
    QFETCH(double, seconds);
    QFETCH(bool, crTerminated);
    QFETCH(QString, text);
    QFETCH(QString, line);

    const std::string formatted = FormatRecordLine(seconds, crTerminated ? LineTerminator::Cr : LineTerminator::Lf, text.toStdString());
    QCOMPARE(QString::fromStdString(formatted), line);
}

void TestSimCore::Options_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("summary"); // model, ratings and loads, or the error

    QTest::newRow("defaults") << QStringList{} << "QPX-30R03D x2 30/3 loads 10,10";
    QTest::newRow("one output") << QStringList{"--outputs", "1"} << "QPX-30R03 x1 30/3 loads 10";
    QTest::newRow("model ignores case") << QStringList{"--model", "qpx-30r05d"} << "QPX-30R05D x2 30/5 loads 10,10";
    QTest::newRow("single model") << QStringList{"--model=QPX-120T1.5"} << "QPX-120T1.5 x1 120/1.5 loads 10";
    QTest::newRow("agreeing outputs") << QStringList{"--outputs", "2", "--model", "QPX-30T05DD"} << "QPX-30T05DD x2 30/5 loads 10,10";
    QTest::newRow("two loads") << QStringList{"--load", "5,20"} << "QPX-30R03D x2 30/3 loads 5,20";
    QTest::newRow("one load for both") << QStringList{"--load=4.7"} << "QPX-30R03D x2 30/3 loads 4.7,4.7";
    QTest::newRow("contradicting outputs") << QStringList{"--model", "QPX-30R03", "--outputs", "2"} << "error";
    QTest::newRow("unknown model") << QStringList{"--model", "QPX-99"} << "error";
    QTest::newRow("three outputs") << QStringList{"--outputs", "3"} << "error";
    QTest::newRow("zero load") << QStringList{"--load", "0"} << "error";
    QTest::newRow("too many loads") << QStringList{"--outputs", "1", "--load", "1,2"} << "error";
    QTest::newRow("missing value") << QStringList{"--seed"} << "error";
    QTest::newRow("negative delay") << QStringList{"--reply-delay", "-5"} << "error";
    QTest::newRow("unknown option") << QStringList{"--parity", "even"} << "error";
    QTest::newRow("zero baud") << QStringList{"--baud", "0"} << "error";
    QTest::newRow("fractional baud") << QStringList{"--baud", "9600.5"} << "error";
    QTest::newRow("drop every zeroth") << QStringList{"--drop-every", "0"} << "error";
    QTest::newRow("garble without count") << QStringList{"--garble-every"} << "error";
    QTest::newRow("negative stop") << QStringList{"--stop-after", "-1"} << "error";
    QTest::newRow("return without vanish") << QStringList{"--return-after", "1"} << "error";
    QTest::newRow("flood count without flood") << QStringList{"--flood-count", "10"} << "error";
    QTest::newRow("negative flood rate") << QStringList{"--flood-lines", "-1"} << "error";
}

void TestSimCore::Options()
{
    QFETCH(QStringList, args);
    QFETCH(QString, summary);

    std::vector<std::string> arguments;
    for (const QString& arg : args)
        arguments.push_back(arg.toStdString());
    const ParsedOptions parsed = ParseOptions(arguments);
    if (!parsed.Error.empty()) {
        QCOMPARE(QStringLiteral("error"), summary);
        return;
    }
    const SimOptions& options = parsed.Options;
    QStringList loads;
    for (double ohms : options.LoadOhms)
        loads << QString::number(ohms);
    QCOMPARE(QStringLiteral("%1 x%2 %3/%4 loads %5")
                 .arg(QString::fromStdString(options.Model.Name))
                 .arg(options.Model.Outputs)
                 .arg(options.Model.MaxVolts)
                 .arg(options.Model.MaxAmps)
                 .arg(loads.join(',')),
             summary);
}

void TestSimCore::OptionValues()
{
    const SimOptions defaults = ParseOptions({}).Options;
    QVERIFY(!defaults.CrLf && defaults.Noise && !defaults.Help);
    QCOMPARE(defaults.ReplyDelayMs, 0);
    QVERIFY(defaults.VanishAfterSeconds < 0);
    QCOMPARE(defaults.NoiseSeed, DefaultNoiseSeed);

    const ParsedOptions parsed = ParseOptions({"--crlf", "--reply-delay=25", "--vanish-after", "0.5", "--seed", "42",
                                               "--no-noise", "--link", "/tmp/sim0", "--record=cmds.txt", "--help"});
    QCOMPARE(QString::fromStdString(parsed.Error), QString());
    const SimOptions& options = parsed.Options;
    QVERIFY(options.CrLf && !options.Noise && options.Help);
    QCOMPARE(options.ReplyDelayMs, 25);
    QCOMPARE(options.VanishAfterSeconds, 0.5);
    QCOMPARE(options.NoiseSeed, std::uint64_t(42));
    QCOMPARE(QString::fromStdString(options.LinkPath), QStringLiteral("/tmp/sim0"));
    QCOMPARE(QString::fromStdString(options.RecordPath), QStringLiteral("cmds.txt"));

    QVERIFY(!defaults.Flood);
    const ParsedOptions faults = ParseOptions({"--baud=300", "--drop-every", "2", "--garble-every=3", "--stop-after", "1.5",
                                               "--vanish-after", "2", "--return-after=0.25", "--flood-no-lf",
                                               "--flood-lines", "20", "--flood-count", "7"});
    QCOMPARE(QString::fromStdString(faults.Error), QString());
    QCOMPARE(faults.Options.Baud, 300);
    QCOMPARE(faults.Options.DropEvery, 2);
    QCOMPARE(faults.Options.GarbleEvery, 3);
    QCOMPARE(faults.Options.StopAfterSeconds, 1.5);
    QCOMPARE(faults.Options.ReturnAfterSeconds, 0.25);
    QVERIFY(faults.Options.Flood && faults.Options.FloodNoLineEnds);
    QCOMPARE(faults.Options.FloodLinesPerSecond, 20.0);
    QCOMPARE(faults.Options.FloodCount, std::uint64_t(7));
    // A rate alone is enough to flood; the line ends stay.
    const SimOptions rateOnly = ParseOptions({"--flood-lines", "0"}).Options;
    QVERIFY(rateOnly.Flood && !rateOnly.FloodNoLineEnds);
}

void TestSimCore::BytesCarriedByLine_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<qulonglong>("bytes");

    QTest::newRow("300 baud, one second") << 300 << 1.0 << 30ULL;
    QTest::newRow("stop bit not yet through") << 300 << 0.033 << 0ULL;
    QTest::newRow("exactly five characters") << 9600 << 5 * 10 / 9600.0 << 5ULL;
    QTest::newRow("19200 baud, half a second") << 19200 << 0.5 << 960ULL;
    QTest::newRow("no time") << 9600 << 0.0 << 0ULL;
    QTest::newRow("time running backwards") << 9600 << -1.0 << 0ULL;
    QTest::newRow("unpaced") << 0 << 1e-6 << qulonglong(std::size_t(-1));
}

void TestSimCore::BytesCarriedByLine()
{
    QFETCH(int, baud);
    QFETCH(double, seconds);
    QFETCH(qulonglong, bytes);

    QCOMPARE(qulonglong(BytesCarried(baud, seconds)), bytes);
}

void TestSimCore::PacedRelease_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("capacity");
    // "push T N" queues N bytes at T ("refused" when they must not fit),
    // "ready T N" expects N bytes let out by T, "take N" hands N to the
    // terminal, "next T S" expects the next byte across at S (-1: none on the line).
    QTest::addColumn<QStringList>("script");

    QTest::newRow("unpaced lets all out at once") << 0 << 100
        << QStringList{"push 0 20", "ready 0 20", "next 0 -1"};
    QTest::newRow("one byte per character time") << 300 << 100
        << QStringList{"push 0 30", "ready 0 0", "next 0 0.0333333", "ready 0.5 15", "next 0.5 0.5333333",
                       "ready 1 30", "ready 2 30", "next 2 -1"};
    QTest::newRow("idle line earns no credit") << 300 << 100
        << QStringList{"push 0 3", "ready 1 3", "take 3", "push 5 30", "ready 5 0", "ready 5.5 15"};
    QTest::newRow("bytes queued while busy follow on") << 300 << 100
        << QStringList{"push 0 15", "push 0.25 15", "ready 0.5 15", "ready 0.75 22", "ready 1 30"};
    QTest::newRow("taken bytes leave, the rest keep pace") << 300 << 100
        << QStringList{"push 0 30", "ready 0.5 15", "take 10", "ready 0.5 5", "take 2", "ready 1 18"};
    QTest::newRow("unread bytes do not hold the line") << 300 << 100
        << QStringList{"push 0 30", "ready 2 30", "push 2 30", "ready 2 30", "ready 2.5 45", "take 45", "ready 3 15"};
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

    QTest::newRow("no faults") << 0 << 0 << "ssssss";
    QTest::newRow("drop every second") << 2 << 0 << "sdsdsd";
    QTest::newRow("garble every third") << 0 << 3 << "ssgssg";
    QTest::newRow("dropping wins on a common multiple") << 2 << 3 << "sdgdsd";
    QTest::newRow("drop everything") << 1 << 0 << "dddddd";
    QTest::newRow("garble everything") << 0 << 1 << "gggggg";
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

void TestSimCore::GarblingFollowsSeed()
{
    auto garbled = [](std::uint64_t seed) {
        ReplyFaults faults(0, 1, seed);
        std::string all;
        for (int i = 0; i < 4; ++i)
            all += *faults.Pass("30.000") + "|";
        return all;
    };
    QCOMPARE(garbled(7), garbled(7));
    QVERIFY(garbled(7) != garbled(8));
}

void TestSimCore::Flood_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<qulonglong>("limit");
    QTest::addColumn<QString>("lineEnd");
    // Produce calls after a start at time 0: when, with how much room, and what comes out.
    QTest::addColumn<QList<double>>("times");
    QTest::addColumn<QList<int>>("rooms");
    QTest::addColumn<QStringList>("produced");
    QTest::addColumn<double>("nextDue"); // after the last call; -1 once over

    const int plenty = 1000;
    QTest::newRow("as fast as taken, whole readings that fit")
        << 0.0 << 0ULL << "\n" << QList<double>{0, 0} << QList<int>{20, 7}
        << QStringList{"00.000\n00.001\n", "00.002\n"} << 0.0;
    QTest::newRow("at a rate, first one at once")
        << 10.0 << 0ULL << "\n" << QList<double>{0, 0.05, 0.35} << QList<int>{plenty, plenty, plenty}
        << QStringList{"00.000\n", "", "00.001\n00.002\n00.003\n"} << 0.4;
    QTest::newRow("late readings catch up once there is room")
        << 10.0 << 0ULL << "\r\n" << QList<double>{0.25, 0.25} << QList<int>{10, plenty}
        << QStringList{"00.000\r\n", "00.001\r\n00.002\r\n"} << 0.3;
    QTest::newRow("line count ends it")
        << 0.0 << 3ULL << "\n" << QList<double>{0, 5} << QList<int>{plenty, plenty}
        << QStringList{"00.000\n00.001\n00.002\n", ""} << -1.0;
    QTest::newRow("no line ends, byte count cuts the last reading")
        << 0.0 << 10ULL << "" << QList<double>{0, 0} << QList<int>{8, plenty}
        << QStringList{"00.000", "00.0"} << -1.0;
}

void TestSimCore::Flood()
{
    QFETCH(double, rate);
    QFETCH(qulonglong, limit);
    QFETCH(QString, lineEnd);
    QFETCH(QList<double>, times);
    QFETCH(QList<int>, rooms);
    QFETCH(QStringList, produced);
    QFETCH(double, nextDue);

    FloodSource flood(rate, limit, lineEnd.toStdString());
    std::string before;
    flood.Produce(0, 1000, before);
    QVERIFY2(before.empty(), "a flood must wait for the first command");

    flood.Start(0);
    for (int i = 0; i < times.size(); ++i) {
        std::string out;
        flood.Produce(times[i], std::size_t(rooms[i]), out);
        QCOMPARE(QString::fromStdString(out), produced[i]);
    }
    QCOMPARE(flood.NextDueAt(times.last()), nextDue);
    QCOMPARE(flood.Finished(), nextDue < 0);
}

QTEST_GUILESS_MAIN(TestSimCore)
#include "test_sim_core.moc"
