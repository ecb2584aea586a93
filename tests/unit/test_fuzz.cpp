// Fuzzing: random replies, pattern files and number texts against properties
// that must hold for any input. Every round draws from its own fixed seed, so
// a failure names the round that reproduces it. TARVIO_FUZZ_SECONDS sets how
// long each case keeps drawing new rounds (2 s when unset); for a long run,
// start the binary itself, as ctest stops a unit test after a minute.
#include <QtTest>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <random>

#include "link/ReceiveParser.h"
#include "pattern/PatternFile.h"
#include "pattern/StepValues.h"

namespace {

using Rng = std::mt19937;

int Pick(Rng& rng, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(rng);
}

bool Chance(Rng& rng, double p)
{
    return std::bernoulli_distribution(p)(rng);
}

template <typename T, std::size_t N>
const T& PickFrom(Rng& rng, const T (&items)[N])
{
    return items[Pick(rng, 0, int(N) - 1)];
}

// Hands out round numbers until the time budget is spent, but always a few,
// so that a slow sanitizer build still tests something.
class Rounds {
public:
    explicit Rounds(quint32 firstSeed) : seed_(firstSeed)
    {
        bool ok = false;
        const double seconds = qEnvironmentVariable("TARVIO_FUZZ_SECONDS").toDouble(&ok);
        budgetMs_ = qint64((ok && seconds > 0 ? seconds : 2.0) * 1000);
        clock_.start();
    }
    bool Next() { return !QTest::currentTestFailed() && (++done_ <= MinimumRounds || clock_.elapsed() < budgetMs_); }
    // A fresh generator per round: round k plays the same whatever came before.
    Rng Generator() const { return Rng(seed_ + quint32(done_)); }
    QString Where() const { return QStringLiteral("round %1 (seed %2)").arg(done_).arg(seed_ + quint32(done_)); }

private:
    static constexpr int MinimumRounds = 20;
    quint32 seed_;
    int done_ = 0;
    qint64 budgetMs_ = 0;
    QElapsedTimer clock_;
};

// ---------------------------------------------------------------- replies

// A window whose mode, poll timer and layout stay as drawn for the whole
// stream, logging what the parser routes and any bound the parser breaks.
class RecordingWindow : public ReceiveTarget {
public:
    bool polling = false, monitor = false, setMonitor = false, single = false;
    const ReceiveState* state = nullptr;
    QStringList events;
    QStringList broken;

    bool PollTimerRunning() const override { return polling; }
    bool MonitorModeSelected() const override { return monitor; }
    bool SetMonitorModeSelected() const override { return setMonitor; }
    bool SingleLayoutSelected() const override { return single; }
    void ShowReadout(Readout which, const QString& text) override
    {
        events << QString::number(int(which)) + QLatin1Char('=') + text;
        CheckBounds(text.size());
    }
    void InsertInfoText(const QString& text) override
    {
        events << QStringLiteral("info=") + text;
        if (!text.endsWith(QLatin1String("\r\n")))
            broken << QStringLiteral("message line without CR LF");
        CheckBounds(text.size() - 2);
    }
    void ClearInfoText() override { events << QStringLiteral("clear"); }

    // The text each event carried, in order, without what routing adds.
    QString RoutedText() const
    {
        QString all;
        for (const QString& e : events)
            if (e != QLatin1String("clear"))
                all += e.mid(e.indexOf(QLatin1Char('=')) + 1).chopped(e.startsWith(QLatin1String("info=")) ? 2 : 0);
        return all;
    }

private:
    void CheckBounds(qsizetype lineLength)
    {
        if (lineLength > MaxLineLength)
            broken << QStringLiteral("routed a line of %1 characters").arg(lineLength);
        if (state && (state->PollIndex < 0 || state->PollIndex > 4))
            broken << QStringLiteral("PollIndex %1 while routing").arg(state->PollIndex);
    }
};

QByteArray RandomBytes(Rng& rng, int length)
{
    // Any byte but the line feed, so stray carriage returns and Latin-1 too.
    QByteArray bytes(length, '\0');
    for (char& b : bytes)
        b = char(Chance(rng, 0.1) ? '\r' : Pick(rng, 0x20, 0xFF));
    return bytes;
}

QString ReplyStream(Rng& rng)
{
    QByteArray stream;
    const int lines = Pick(rng, 0, 40);
    for (int k = 0; k < lines; ++k) {
        const int kind = Pick(rng, 0, 9);
        stream += RandomBytes(rng, kind == 0 ? Pick(rng, 4097, 10000) : kind == 1 ? MaxLineLength + Pick(rng, -2, 2) : Pick(rng, 0, 40));
        if (k < lines - 1 || Chance(rng, 0.5))
            stream += Chance(rng, 0.5) ? "\r\n" : "\n";
    }
    return QString::fromLatin1(stream);
}

QStringList Chunks(Rng& rng, const QString& text)
{
    // From a cut every character to hardly any, with cuts drawn to line ends,
    // where a chunking fault would show.
    const double everywhere = PickFrom(rng, {1.0, 0.3, 0.01, 0.0005});
    QStringList chunks;
    qsizetype start = 0;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const bool nearLineEnd = text.at(i) == QLatin1Char('\n') || text.at(i - 1) == QLatin1Char('\n');
        if (Chance(rng, everywhere) || (nearLineEnd && Chance(rng, 0.3))) {
            chunks << text.mid(start, i - start);
            start = i;
        }
    }
    chunks << text.mid(start);
    return chunks;
}

// --------------------------------------------------------------- pattern files

const QByteArray Bom("\xEF\xBB\xBF");
const QString Untouched = QStringLiteral("~");
constexpr double UntouchedValue = -4242.0;

QByteArray Digits(Rng& rng, int count)
{
    QByteArray d;
    for (int i = 0; i < count; ++i)
        d += char('0' + Pick(rng, 0, 9));
    return d;
}

// A value as people and programs write them, now and then about as long as a field may be.
QByteArray ValueText(Rng& rng)
{
    if (Chance(rng, 0.01))
        return Digits(rng, Pick(rng, 62, 66));
    QByteArray v = PickFrom(rng, {"", "", "", "-", "+"}) + Digits(rng, Pick(rng, 0, 4));
    if (Chance(rng, 0.6))
        v += '.' + Digits(rng, Pick(rng, 0, 6));
    if (Chance(rng, 0.15))
        v += PickFrom(rng, {"e", "E-", "e+"}) + Digits(rng, Pick(rng, 1, 3));
    return v;
}

QByteArray Blanks(Rng& rng)
{
    return Chance(rng, 0.8) ? QByteArray() : QByteArray(Pick(rng, 1, 3), ' ');
}

QByteArray GoodFile(Rng& rng)
{
    const QByteArray lineEnd = PickFrom(rng, {"\r\n", "\n", "\r"});
    QByteArray file = Chance(rng, 0.1) ? Bom : QByteArray();
    const int steps = Chance(rng, 0.2) ? Pick(rng, 95, 130) : Pick(rng, 0, 12);
    for (int s = 0; s < steps; ++s) {
        for (int f = 0; f < 3; ++f) {
            file += Blanks(rng) + ValueText(rng) + Blanks(rng);
            if (f < 2)
                file += Chance(rng, 0.9) ? QByteArray(",") : lineEnd;   // a step may span lines
        }
        if (s < steps - 1 || Chance(rng, 0.7))
            file += Chance(rng, 0.05) ? lineEnd + lineEnd : lineEnd;
    }
    return file;
}

QByteArray Mutated(Rng& rng, QByteArray file)
{
    const int mutations = Pick(rng, 1, 4);
    for (int m = 0; m < mutations; ++m) {
        const int at = Pick(rng, 0, int(file.size()));
        switch (Pick(rng, 0, 5)) {
        case 0: file.insert(at, PickFrom(rng, {",", "\r", "\n", "\t", ",,", "\r\n"})); break;
        case 1: file.truncate(at); break;
        case 2: file.remove(at, Pick(rng, 1, 10)); break;
        // Either side of the longest field the reader takes, or far past it.
        case 3: file.insert(at, Digits(rng, Chance(rng, 0.5) ? Pick(rng, 60, 70) : Pick(rng, 71, 300000))); break;
        case 4: file.insert(at, RandomBytes(rng, Pick(rng, 1, 8))); break;
        default: file.insert(at, Bom); break;
        }
    }
    return file;
}

// What loading should give, worked out a different way from the reader:
// split at every comma, then at every line end, rather than scan bytes.
struct ExpectedLoad {
    QList<double> values;   // three per step placed
    bool complete = false;
};

bool PlainNumber(const QByteArray& field, double* value)
{
    static const QRegularExpression form(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (field.size() > 64 || !form.match(QString::fromLatin1(field)).hasMatch())
        return false;
    const char* begin = field.constData() + (field.startsWith('+') ? 1 : 0);
    const auto [end, error] = std::from_chars(begin, field.constData() + field.size(), *value);
    return error == std::errc() && end == field.constData() + field.size() && std::isfinite(*value);
}

ExpectedLoad ReferenceLoad(QByteArray file)
{
    if (file.startsWith(Bom))
        file.remove(0, Bom.size());
    // A comma always ends a field; a line end ends one only when it holds
    // something or directly follows a comma.
    QList<QByteArray> fields;
    const QList<QByteArray> segments = file.split(',');
    for (int i = 0; i < segments.size(); ++i) {
        QByteArray segment = segments.at(i);
        segment.replace('\r', '\n');
        const QList<QByteArray> pieces = segment.split('\n');
        for (int j = 0; j < pieces.size(); ++j) {
            const QByteArray& raw = pieces.at(j);
            const QByteArray piece = QByteArray(raw).replace('\t', ' ').trimmed();
            const bool afterComma = j == 0 && i > 0;
            const bool beforeComma = j == pieces.size() - 1 && i < segments.size() - 1;
            if (!piece.isEmpty() || afterComma || beforeComma)
                fields << piece;
        }
    }
    ExpectedLoad e;
    double v = 0;
    int f = 0;
    for (; f < 3 * MaxPatternSteps && f < fields.size() && PlainNumber(fields.at(f), &v); ++f)
        e.values << v;
    e.complete = f == 3 * MaxPatternSteps || (f == fields.size() && f % 3 == 0);
    // A value counts only when its whole step is read.
    e.values.resize(e.values.size() / 3 * 3);
    return e;
}

// ---------------------------------------------------------------- numbers

// LeadingNumber worked out another way: drop the blanks, match the whole
// number with one expression and let the standard library convert it.
double ReferenceNumber(const QString& text)
{
    static const QRegularExpression blanks(QStringLiteral("[ \\t\\n]"));
    static const QRegularExpression radixForm(QStringLiteral("^&(?:[hH]([0-9A-Fa-f]+)|[oO]([0-7]+))"));
    static const QRegularExpression decimalForm(
        QStringLiteral("^([+-]?)([0-9]*)(?:\\.([0-9]*))?(?:[eEdD]([+-]?[0-9]+))?"));
    const QString s = QString(text).remove(blanks);
    if (s.startsWith(QLatin1Char('&'))) {
        const QRegularExpressionMatch m = radixForm.match(s);
        if (!m.hasMatch())
            return 0.0;
        const bool hex = !m.captured(1).isEmpty();
        const std::string digits = (hex ? m.captured(1) : m.captured(2)).toStdString();
        errno = 0;
        const unsigned long long v = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 8);
        return errno == ERANGE ? 0.0 : double(v);
    }
    const QRegularExpressionMatch m = decimalForm.match(s);
    const QString whole = m.captured(2), fraction = m.captured(3);
    if (whole.isEmpty() && fraction.isEmpty())
        return 0.0;
    // The exponent only counts after a digit: "e5" alone is no number.
    std::string number = (whole.isEmpty() ? QStringLiteral("0") : whole).toStdString();
    if (!fraction.isEmpty())
        number += '.' + fraction.toStdString();
    if (!m.captured(4).isEmpty())
        number += 'e' + m.captured(4).toStdString();
    double v = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), v);
    Q_UNUSED(end);
    if (error != std::errc() || !std::isfinite(v))
        return 0.0;
    return m.captured(1) == QLatin1String("-") ? -v : v;
}

// Tiny values may underflow to zero on one side only.
bool Close(double a, double b)
{
    return a == b || (std::fabs(a) < 1e-300 && std::fabs(b) < 1e-300)
        || std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b));
}

QString NumberText(Rng& rng)
{
    static const QString alphabet = QStringLiteral("0123456789+-.eEdD&HO \t\nhoxAbF전압");
    auto any = [&]() { return alphabet.at(Pick(rng, 0, int(alphabet.size()) - 1)); };
    // Digit runs, long and with leading zeros, for every radix.
    auto run = [&](int radix) {
        static const QString all = QStringLiteral("0123456789ABCDEFabcdef");
        QString r = Chance(rng, 0.2) ? QString(Pick(rng, 1, 500), QLatin1Char('0')) : QString();
        for (int n = Chance(rng, 0.1) ? Pick(rng, 15, 400) : Pick(rng, 0, 6); n > 0; --n)
            r += all.at(Pick(rng, 0, (radix == 16 ? 22 : radix) - 1));
        return r;
    };
    QString s;
    if (Chance(rng, 0.25)) {
        const bool hex = Chance(rng, 0.5);
        s = (hex ? QStringLiteral("&H") : QStringLiteral("&o")) + run(hex ? 16 : 8);
    } else {
        s = PickFrom(rng, {QString(), QStringLiteral("-"), QStringLiteral("+")}) + run(10);
        if (Chance(rng, 0.5))
            s += QLatin1Char('.') + run(10);
        if (Chance(rng, 0.4))
            s += PickFrom(rng, {QStringLiteral("e"), QStringLiteral("D-"), QStringLiteral("E+")}) + run(10);
    }
    // A few characters of any kind thrown in, anywhere.
    for (int n = Pick(rng, 0, 3); n > 0; --n)
        s.insert(Pick(rng, 0, int(s.size())), any());
    return s;
}

// Loads `file` over a table whose every value cell and array slot is marked,
// and holds the result against ReferenceLoad.
void CheckLoad(const QString& path, const QByteArray& file, const QString& label)
{
    static const QRegularExpression threeDecimals(QStringLiteral("^-?[0-9]+\\.[0-9]{3}$"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(file) == file.size());
    f.close();
    PatternTable table;
    StepArrays arrays;
    for (int row = 1; row <= MaxPatternSteps; ++row) {
        table.SetStep(row, {Untouched, Untouched, Untouched});
        arrays.StepTime[row] = arrays.StepVoltage[row] = arrays.StepCurrent[row] = UntouchedValue;
    }
    const LoadResult r = LoadPattern(path, table, arrays);
    const ExpectedLoad e = ReferenceLoad(file);
    const int steps = int(e.values.size() / 3);
    const QString where = label + QStringLiteral(", %1 bytes").arg(file.size());

    QVERIFY2(r.StepsLoaded >= 0 && r.StepsLoaded <= MaxPatternSteps, qPrintable(where));
    QVERIFY2(r.StepsLoaded == steps && r.Complete == e.complete, qPrintable(where));
    QVERIFY2(r.Message.isEmpty() == r.Complete, qPrintable(where + QStringLiteral(": ") + r.Message));
    for (int row = 1; row <= MaxPatternSteps; ++row) {
        const double stored[3] = {arrays.StepTime[row], arrays.StepVoltage[row], arrays.StepCurrent[row]};
        for (int column = 1; column <= 3; ++column) {
            const QString cell = table.Cell(row, column);
            const QString at = where + QStringLiteral(", row %1 column %2: %3").arg(row).arg(column).arg(cell.left(80));
            if (row > steps) {
                QVERIFY2(cell == Untouched && stored[column - 1] == UntouchedValue, qPrintable(at));
                continue;
            }
            const double value = e.values.at(3 * (row - 1) + column - 1);
            QVERIFY2(threeDecimals.match(cell).hasMatch(), qPrintable(at));
            QVERIFY2(std::fabs(cell.toDouble() - value) <= 0.0005 + 1e-12 * std::fabs(value), qPrintable(at));
            QVERIFY2(Close(stored[column - 1], value), qPrintable(at));
        }
    }
}

} // namespace

class TestFuzz : public QObject {
    Q_OBJECT
private slots:
    void ChunkingChangesNoRoutedLine()
    {
        Rounds rounds(0x10000000);
        while (rounds.Next()) {
            Rng rng = rounds.Generator();
            RecordingWindow whole, pieces;
            const int modes = Pick(rng, 0, 15);
            for (RecordingWindow* w : {&whole, &pieces})
                w->polling = modes & 1, w->monitor = modes & 2, w->setMonitor = modes & 4, w->single = modes & 8;
            ReceiveState start;
            start.LineBuffer = QString::fromLatin1(
                RandomBytes(rng, Chance(rng, 0.1) ? Pick(rng, MaxLineLength - 3, MaxLineLength - 1) : Pick(rng, 0, 10)));
            start.PollIndex = Pick(rng, 0, 4);
            start.MessageLineCount = Pick(rng, 0, MaxMessageLines);
            const QString stream = ReplyStream(rng);

            ReceiveState once = start;
            whole.state = &once;
            ReceiveParser(once, whole, stream);

            ReceiveState chunked = start;
            pieces.state = &chunked;
            const QStringList chunks = Chunks(rng, stream);
            for (const QString& chunk : chunks) {
                ReceiveParser(chunked, pieces, chunk);
                if (chunked.LineBuffer.size() > MaxLineLength || chunked.PollIndex < 0 || chunked.PollIndex > 4)
                    pieces.broken << QStringLiteral("state out of bounds between chunks");
            }

            const QString where = rounds.Where() + QStringLiteral(", %1 chars in %2 chunks").arg(stream.size()).arg(chunks.size());
            QVERIFY2(whole.broken.isEmpty() && pieces.broken.isEmpty(),
                     qPrintable(where + QStringLiteral(": ") + (whole.broken + pieces.broken).join(QStringLiteral("; "))));
            // Nothing lost or invented: every character but the line feeds
            // comes out once, in order.
            QVERIFY2(whole.RoutedText() + once.LineBuffer == start.LineBuffer + QString(stream).remove(QLatin1Char('\n')),
                     qPrintable(where));
            QVERIFY2(pieces.events == whole.events, qPrintable(where));
            QVERIFY2(chunked.LineBuffer == once.LineBuffer && chunked.PollIndex == once.PollIndex
                         && chunked.MessageLineCount == once.MessageLineCount,
                     qPrintable(where));
        }
    }

    void PatternReaderHoldsOnAnyFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("fuzz.pat"));
        // Found by the fuzzing: the reader ran past a file that held nothing but the mark.
        CheckLoad(path, Bom, QStringLiteral("a lone byte-order mark"));
        Rounds rounds(0x20000000);
        while (rounds.Next()) {
            Rng rng = rounds.Generator();
            CheckLoad(path, Chance(rng, 0.2) ? GoodFile(rng) : Mutated(rng, GoodFile(rng)), rounds.Where());
        }
    }

    void LeadingNumberMatchesReference_data()
    {
        QTest::addColumn<QString>("text");
        // Found by the fuzzing below (zeros ahead of the digits, radix values
        // past 64 bits), and the largest value that still fits.
        QTest::newRow("zeros before a decimal") << QString(450, QLatin1Char('0')) + QStringLiteral("5");
        QTest::newRow("zeros in the exponent") << QStringLiteral("1e00000001");
        QTest::newRow("zeros before a hex value") << QStringLiteral("&H00000000000000000001");
        QTest::newRow("hex past 64 bits") << QStringLiteral("&H12345678901234567");
        QTest::newRow("octal past 16 digits") << QStringLiteral("&O77777777777777777");
        QTest::newRow("largest hex") << QStringLiteral("&hFFFF FFFF FFFF FFFF");
    }
    void LeadingNumberMatchesReference()
    {
        QFETCH(QString, text);
        QCOMPARE(LeadingNumber(text), ReferenceNumber(text));
    }

    void LeadingNumberFuzz()
    {
        Rounds rounds(0x30000000);
        while (rounds.Next()) {
            Rng rng = rounds.Generator();
            for (int k = 0; k < 100; ++k) {
                const QString text = NumberText(rng);
                const double got = LeadingNumber(text), expected = ReferenceNumber(text);
                QVERIFY2(Close(got, expected), qPrintable(rounds.Where() + QStringLiteral(": ") + text.left(80)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestFuzz)
#include "test_fuzz.moc"
