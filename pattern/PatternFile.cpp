// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pattern/PatternFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cmath>

#include "pattern/StepNumbers.h"
#include "pattern/StepValues.h"

namespace {
constexpr qint64 ChunkSize = 64 * 1024;
// Room for every value a save writes (the largest double has 309 digits, then
// a sign and three decimals), so a saved pattern always reads back; a longer
// field is not a number, and stopping there keeps a file with no separators
// from filling memory.
constexpr int MaxFieldLength = 320;
// How much of an unreadable field the message quotes.
constexpr int QuotedFieldLength = 20;

const char* const FieldNames[3] = {QT_TRANSLATE_NOOP("PatternFile", "시간"), QT_TRANSLATE_NOOP("PatternFile", "전압"),
                                   QT_TRANSLATE_NOOP("PatternFile", "전류")};

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// A plain decimal: optional sign, digits with at most one point (".5" and
// "1." included), optional exponent. Anything else, the empty field too,
// is not a number.
bool ReadPlainDecimal(const QByteArray& field, double* value)
{
    const int n = int(field.size());
    int i = 0;
    if (i < n && (field[i] == '+' || field[i] == '-'))
        ++i;
    int digits = 0;
    bool point = false;
    for (; i < n; ++i) {
        if (field[i] >= '0' && field[i] <= '9')
            ++digits;
        else if (field[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (digits == 0)
        return false;
    if (i < n && (field[i] == 'e' || field[i] == 'E')) {
        ++i;
        if (i < n && (field[i] == '+' || field[i] == '-'))
            ++i;
        int expDigits = 0;
        for (; i < n && field[i] >= '0' && field[i] <= '9'; ++i)
            ++expDigits;
        if (expDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    bool ok = false;
    // QByteArray's reading ignores the locale, which a running program may have changed.
    const double v = field.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

// Hands out the file's fields one at a time, holding one chunk of the file
// and at most one bounded field.
class FieldReader {
public:
    enum Kind { Field, EndOfFile, ReadFailed };
    struct Result {
        Kind kind = EndOfFile;
        QByteArray text;
        bool broken = false;    // a blank inside the value: read no further
        bool tooLong = false;
        bool atEnd = false;     // ended by the end of the file
    };

    explicit FieldReader(QFile& file) : file_(file) {}

    Result Next()
    {
        Result r;
        bool content = false, trailing = false;
        for (;;) {
            if (pos_ == chunk_.size()) {
                chunk_ = file_.read(ChunkSize);
                pos_ = 0;
                if (first_) {
                    first_ = false;
                    // A byte-order mark from an editor that saved the file as UTF-8.
                    if (chunk_.startsWith("\xEF\xBB\xBF")) {
                        pos_ = 3;
                        continue;   // the mark may be all the file holds
                    }
                }
                if (chunk_.isEmpty()) {
                    if (file_.error() != QFileDevice::NoError) {
                        r.kind = ReadFailed;
                        return r;
                    }
                    // A comma just before the end leaves an empty field.
                    r.kind = content || afterComma_ ? Field : EndOfFile;
                    r.atEnd = true;
                    afterComma_ = false;
                    return r;
                }
            }
            const char c = chunk_.at(pos_++);
            if (c == ',') {
                afterComma_ = true;
                r.kind = Field;
                return r;
            }
            if (IsLineEnd(c)) {
                // Blank lines, and the LF of a CR LF, end no field; a line
                // end after a comma ends an empty one.
                if (content || afterComma_) {
                    afterComma_ = false;
                    r.kind = Field;
                    return r;
                }
                continue;
            }
            if (IsBlank(c)) {
                trailing = content;
                continue;
            }
            content = true;
            r.kind = Field;
            if (trailing) {
                r.text.append(' ').append(c);
                r.broken = true;
                return r;
            }
            if (r.text.size() >= MaxFieldLength) {
                r.tooLong = true;
                return r;
            }
            r.text.append(c);
        }
    }

private:
    QFile& file_;
    QByteArray chunk_;
    qsizetype pos_ = 0;
    bool first_ = true;
    bool afterComma_ = false;
};

QString Quoted(const QByteArray& field)
{
    QString text = QString::fromUtf8(field);
    if (text.size() > QuotedFieldLength)
        text = text.left(QuotedFieldLength) + QStringLiteral("…");
    return text;
}

Outcome Stopped(const QString& path, int steps, const QString& reason)
{
    // All at once: a chained arg() would take a "%2" in the quoted field or
    // the path for its own.
    return Outcome::Failed(QCoreApplication::translate("PatternFile", "패턴 파일을 끝까지 불러오지 못했습니다: %1\n%2\n불러온 단계: %3개")
                               .arg(Shown(path), reason, QString::number(steps)),
                           reason);
}
}

QByteArray PatternFileText(const PatternTable& table)
{
    QByteArray text;
    for (const StepNumbers& step : LeadingSteps(table))
        text += ShortestDecimal(step.Time).toLatin1() + ',' + ShortestDecimal(step.Voltage).toLatin1() + ','
            + ShortestDecimal(step.Current).toLatin1() + "\r\n";
    return text;
}

Outcome SavePattern(const QString& path, const PatternTable& table)
{
    const QByteArray text = PatternFileText(table);
    QSaveFile file(path);
    // Qt 6.4's commit() puts the file in place even when its own final flush
    // fails (a full disk), so flush first. An uncommitted QSaveFile removes
    // its temporary file when it goes.
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.flush() && file.commit())
        return Outcome();
    return Outcome::Failed(
        QCoreApplication::translate("PatternFile", "패턴 파일을 저장할 수 없습니다: %1\n%2").arg(Shown(path), file.errorString()),
        file.errorString());
}

QString SaveLeftOutMessage(const PatternTable& table)
{
    const int saved = table.LeadingCompleteSteps();
    int leftOut = 0;
    for (int row = saved + 2; row <= MaxPatternSteps; ++row)
        leftOut += table.Step(row).Complete();
    if (leftOut == 0)
        return QString();
    return QCoreApplication::translate("PatternFile", "%1단계를 저장했습니다. %2번째 줄 아래의 단계 %3개는 저장하지 않았습니다.")
        .arg(saved).arg(saved + 1).arg(leftOut);
}

Outcome LoadPattern(const QString& path, PatternTable& table)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Outcome::Failed(QCoreApplication::translate("PatternFile", "패턴 파일을 열 수 없습니다: %1\n%2\n불러온 단계: 0개")
                                   .arg(Shown(path), file.errorString()),
                               file.errorString());
    FieldReader reader(file);
    int steps = 0;
    while (steps < MaxPatternSteps) {
        const int row = steps + 1;
        double values[3] = {0, 0, 0};
        for (int f = 0; f < 3; ++f) {
            const FieldReader::Result field = reader.Next();
            if (field.kind == FieldReader::EndOfFile) {
                if (f == 0)
                    return Outcome();
                return Stopped(path, steps, QCoreApplication::translate("PatternFile", "파일이 %1번째 단계의 중간에서 끝납니다.").arg(row));
            }
            if (field.kind == FieldReader::ReadFailed)
                return Stopped(path, steps, file.errorString());
            // A comma after the last step ("1,2,3,") is where the file ends,
            // not a step with an empty time.
            if (f == 0 && field.atEnd && field.text.isEmpty())
                return Outcome();
            const QString where = QCoreApplication::translate("PatternFile", "%1번째 단계의 %2 값이").arg(row).arg(QCoreApplication::translate("PatternFile", FieldNames[f]));
            if (field.tooLong)
                return Stopped(path, steps, where + QCoreApplication::translate("PatternFile", " 너무 깁니다."));
            if (field.text.isEmpty())
                return Stopped(path, steps, where + QCoreApplication::translate("PatternFile", " 비어 있습니다."));
            if (field.broken || !ReadPlainDecimal(field.text, &values[f]))
                return Stopped(path, steps, where + QCoreApplication::translate("PatternFile", " 숫자가 아닙니다: \"%1\"").arg(Quoted(field.text)));
        }
        table.SetStep(row, {FormatThreeDecimals(values[0]), FormatThreeDecimals(values[1]),
                            FormatThreeDecimals(values[2])});
        steps = row;
    }
    return Outcome();
}
