// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/CommandTable.h"

#include <QCoreApplication>

namespace {
CommandEntry Entry(const char* button, const char* keyword, bool takesParameters, const char* syntax,
                   const char* meaning, int row, int column, int listPosition, const char* listText)
{
    const QString key = QString::fromUtf8(keyword);
    return CommandEntry{button, key, takesParameters ? key + QLatin1Char(' ') : key, QString::fromUtf8(syntax),
                        QString::fromUtf8(meaning), row, column, listPosition, QString::fromUtf8(listText)};
}
}

const QList<CommandEntry>& CommandTable()
{
    static const QList<CommandEntry> table{
        Entry("CmdSV", "SOUR:VOLT", true, QT_TRANSLATE_NOOP("CommandTable", "SOUR:VOLT {P1|P2,}{<전압>|MIN|MAX}"),
              QT_TRANSLATE_NOOP("CommandTable", "전압 설정"), 1, 1, 1,
              QT_TRANSLATE_NOOP("CommandTable", "전압 설정")),
        Entry("CmdSVQ", "SOUR:VOLT?", true, "SOUR:VOLT? {P1|P2}",
              QT_TRANSLATE_NOOP("CommandTable", "설정 전압 읽기"), 1, 2, 2,
              QT_TRANSLATE_NOOP("CommandTable", "설정 전압 읽기")),
        Entry("CmdSFQ", "SOUR:FLOW?", false, "",
              QT_TRANSLATE_NOOP("CommandTable", "제어 모드 읽기 (CV / CC 모드)"), 1, 3, 5,
              QT_TRANSLATE_NOOP("CommandTable", "제어모드 읽기(CV/CC)?")),
        Entry("CmdSC", "SOUR:CURR", true, QT_TRANSLATE_NOOP("CommandTable", "SOUR:CURR {P1|P2,}{<전류>|MIN|MAX}"),
              QT_TRANSLATE_NOOP("CommandTable", "전류 설정"), 2, 1, 3,
              QT_TRANSLATE_NOOP("CommandTable", "전류 설정")),
        Entry("CmdSCQ", "SOUR:CURR?", true, "SOUR:CURR? {P1|P2}",
              QT_TRANSLATE_NOOP("CommandTable", "설정 전류 읽기"), 2, 2, 4,
              QT_TRANSLATE_NOOP("CommandTable", "설정 전류 읽기")),
        Entry("CmdIDNQ", "*IDN?", false, "",
              QT_TRANSLATE_NOOP("CommandTable", "제품 모델명 읽기"), 2, 3, 22,
              QT_TRANSLATE_NOOP("CommandTable", "제품 모델명 읽기")),
        Entry("CmdAPPL", "APPL", true, QT_TRANSLATE_NOOP("CommandTable", "APPL {P1|P2}{,<전압>|MIN|MAX}{,<전류>|MIN|MAX}"),
              QT_TRANSLATE_NOOP("CommandTable", "전압,전류 동시 설정"), 3, 1, 6,
              QT_TRANSLATE_NOOP("CommandTable", "전압,전류 동시 설정")),
        Entry("CmdAPPLQ", "APPL?", true, "APPL? {P1|P2}",
              QT_TRANSLATE_NOOP("CommandTable", "설정 전압,전류 동시 읽기"), 3, 2, 7,
              QT_TRANSLATE_NOOP("CommandTable", "설정값 동시 읽기")),
        Entry("CmdRST", "*RST", false, "",
              QT_TRANSLATE_NOOP("CommandTable", "디폴트 제어 상태 만들기"), 3, 3, 23,
              QT_TRANSLATE_NOOP("CommandTable", "디폴트 제어 상태 만들기")),
        Entry("CmdMVQ", "MEAS:VOLT?", true, "MEAS:VOLT? {P1|P2}",
              QT_TRANSLATE_NOOP("CommandTable", "순간 측정 전압 읽기"), 4, 1, 8,
              QT_TRANSLATE_NOOP("CommandTable", "순간 측정 전압 읽기")),
        Entry("CmdMVAQ", "MEAS:VOLTA?", true, "MEAS:VOLTA? {P1|P2}",
              QT_TRANSLATE_NOOP("CommandTable", "평균 측정 전압 읽기"), 4, 2, 9,
              QT_TRANSLATE_NOOP("CommandTable", "평균 측정 전압 읽기")),
        Entry("CmdErrCls", "*CLS", false, "",
              QT_TRANSLATE_NOOP("CommandTable", "오류 발생 정보 모두 지우기"), 4, 3, 24,
              QT_TRANSLATE_NOOP("CommandTable", "에러 상태 모두 지우기")),
        Entry("CmdMCQ", "MEAS:CURR?", true, "MEAS:CURR? {P1|P2}",
              QT_TRANSLATE_NOOP("CommandTable", "순간 측정 전류 읽기"), 5, 1, 10,
              QT_TRANSLATE_NOOP("CommandTable", "순간 측정 전류 읽기")),
        Entry("CmdMCAQ", "MEAS:CURRA?", true, "MEAS:CURRA? {P1|P2}",
              QT_TRANSLATE_NOOP("CommandTable", "평균 측정 전류 읽기"), 5, 2, 11,
              QT_TRANSLATE_NOOP("CommandTable", "평균 측정 전류 읽기")),
        Entry("CmdMVSQ", "MEAS:VOLTS?", true, QT_TRANSLATE_NOOP("CommandTable", "MEAS:VOLTS? {P1|P2,}{시간간격}{,읽을 갯수}"),
              QT_TRANSLATE_NOOP("CommandTable", "순간 측정 전압 여러개 읽기"), 6, 1, 12,
              QT_TRANSLATE_NOOP("CommandTable", "순간 전압 여러개 읽기")),
        Entry("CmdSEQ", "SYST:ERR?", false, "",
              QT_TRANSLATE_NOOP("CommandTable", "에러 발생 정보 읽기"), 6, 2, 14,
              QT_TRANSLATE_NOOP("CommandTable", "에러 상태 읽기")),
        Entry("CmdMCSQ", "MEAS:CURRS?", true, QT_TRANSLATE_NOOP("CommandTable", "MEAS:CURRS? {P1|P2,}{시간간격}{,읽을 갯수}"),
              QT_TRANSLATE_NOOP("CommandTable", "순간 측정 전류 여러개 읽기"), 7, 1, 13,
              QT_TRANSLATE_NOOP("CommandTable", "순간 전류 여러개 읽기")),
        Entry("CmdSVRQ", "SYST:VERS?", false, "",
              QT_TRANSLATE_NOOP("CommandTable", "제품 버젼 읽기"), 7, 2, 15,
              QT_TRANSLATE_NOOP("CommandTable", "제품 버젼 읽기")),
        Entry("CmdOS", "OUTP:STAT", true, "OUTP:STAT {ON|OFF}",
              QT_TRANSLATE_NOOP("CommandTable", "출력 제어 상태 설정"), 8, 1, 16,
              QT_TRANSLATE_NOOP("CommandTable", "출력 제어상태")),
        Entry("CmdOSQ", "OUTP:STAT?", false, "",
              QT_TRANSLATE_NOOP("CommandTable", "출력 제어 상태 읽기"), 8, 2, 17,
              QT_TRANSLATE_NOOP("CommandTable", "출력 제어상태 읽기")),
        Entry("CmdOT", "OUTP:TRACK", true, "OUTP:TRACK {ON|OFF}",
              QT_TRANSLATE_NOOP("CommandTable", "출력 동시 제어 설정"), 9, 1, 18,
              QT_TRANSLATE_NOOP("CommandTable", "출력 동시 제어")),
        Entry("CmdOTQ", "OUTP:TRACK?", false, "",
              QT_TRANSLATE_NOOP("CommandTable", "출력 동시 제어 상태 읽기"), 9, 2, 19,
              QT_TRANSLATE_NOOP("CommandTable", "출력 동시 제어상태 읽기")),
        Entry("CmdKL", "KEYB:LOCK", true, "KEYB:LOCK {ON|OFF}",
              QT_TRANSLATE_NOOP("CommandTable", "키 잠금 상태 설정"), 10, 1, 20,
              QT_TRANSLATE_NOOP("CommandTable", "키 잠금 제어")),
        Entry("CmdKLQ", "KEYB:LOCK?", false, "",
              QT_TRANSLATE_NOOP("CommandTable", "키 잠금 상태 읽기"), 10, 2, 21,
              QT_TRANSLATE_NOOP("CommandTable", "키 잠금 제어 상태 읽기")),
    };
    return table;
}

QString HelpLine(const CommandEntry& entry)
{
    const QString head = entry.SyntaxText.isEmpty() ? entry.FieldText : TableText(entry.SyntaxText);
    return head + QStringLiteral(" : ") + TableText(entry.MeaningText);
}

QString TableText(const QString& source)
{
    return QCoreApplication::translate("CommandTable", source.toUtf8().constData());
}

const QList<KeypadKey>& KeypadKeys()
{
    static const QList<KeypadKey> keys{
        {"Cmd7", "7", "7", 5, 3},       {"Cmd8", "8", "8", 5, 4},       {"Cmd9", "9", "9", 5, 5},
        {"Cmd4", "4", "4", 6, 3},       {"Cmd5", "5", "5", 6, 4},       {"Cmd6", "6", "6", 6, 5},
        {"Cmd1", "1", "1", 7, 3},       {"Cmd2", "2", "2", 7, 4},       {"Cmd3", "3", "3", 7, 5},
        {"CmdDot", ".", ".", 8, 3},     {"Cmd0", "0", "0", 8, 4},       {"CmdDel", "Del", "", 8, 5},
        {"CmdComma", ",", ",", 9, 3},   {"CmdSpace", "Spc", " ", 9, 4}, {"CmdP1", "P1", "P1", 9, 5},
        {"CmdON", "ON", "ON", 10, 3},   {"CmdOFF", "OFF", "OFF", 10, 4}, {"CmdP2", "P2", "P2", 10, 5},
    };
    return keys;
}

const QList<ErrorEntry>& ErrorTable()
{
    static const QList<ErrorEntry> table{
        {QStringLiteral("NO ERROR"), QStringLiteral(QT_TRANSLATE_NOOP("CommandTable", "오류 없음"))},
        {QStringLiteral("ERROR - 1"), QStringLiteral(QT_TRANSLATE_NOOP("CommandTable", "냉각팬 #1 오류"))},
        {QStringLiteral("ERROR - 2"), QStringLiteral(QT_TRANSLATE_NOOP("CommandTable", "냉각팬 #2 오류"))},
        {QStringLiteral("ERROR - 100"), QStringLiteral(QT_TRANSLATE_NOOP("CommandTable", "통신모듈 초기화 오류"))},
        {QStringLiteral("ERROR - 101"), QStringLiteral(QT_TRANSLATE_NOOP("CommandTable", "명령어 확인 하세요"))},
        {QStringLiteral("ERROR - 102"), QStringLiteral(QT_TRANSLATE_NOOP("CommandTable", "파라미터 확인 하세요"))},
        {QStringLiteral("ERROR - 103"), QStringLiteral(QT_TRANSLATE_NOOP("CommandTable", "파라미터 갯수 확인 하세요"))},
        {QStringLiteral("ERROR - 104"), QStringLiteral(QT_TRANSLATE_NOOP("CommandTable", "출력포트 확인 하세요"))},
        {QStringLiteral("ERROR - 105"), QStringLiteral(QT_TRANSLATE_NOOP("CommandTable", "Max. 입력수치 확인 하세요"))},
        {QStringLiteral("ERROR - 106"), QStringLiteral(QT_TRANSLATE_NOOP("CommandTable", "Min. 입력수치 확인 하세요"))},
    };
    return table;
}

namespace {
// Both series offer the same eleven ratings; only the series letter differs.
QList<std::pair<QString, QString>> SeriesModels(QChar series)
{
    struct Rating {
        const char* Volts;
        const char* Code;
        const char* Text;
    };
    const Rating ratings[]{{"30", "03", "30V/3A"},     {"30", "05", "30V/5A"},     {"40", "05", "40V/5A"},
                           {"25", "10", "25V/10A"},    {"50", "01", "50V/1A"},     {"50", "04", "50V/4A"},
                           {"120", "1.5", "120V/1.5A"}, {"30", "03D", "30V/3A x2"}, {"30", "05D", "30V/5A x2"},
                           {"30", "03DD", "30V/3A x2, 2 Line Display"},
                           {"30", "05DD", "30V/5A x2, 2 Line Display"}};
    QList<std::pair<QString, QString>> models;
    for (const Rating& r : ratings)
        models.append({QStringLiteral("QPX-") + QLatin1String(r.Volts) + series + QLatin1String(r.Code),
                       QString::fromLatin1(r.Text)});
    return models;
}
}

const QList<ModelSeries>& ModelList()
{
    static const QList<ModelSeries> list{
        {QStringLiteral("**** MORVANTE DELTRIX R-Series ***********"), SeriesModels(QLatin1Char('R'))},
        {QStringLiteral("**** MORVANTE DELTRIX T-Series *************"), SeriesModels(QLatin1Char('T'))},
    };
    return list;
}
