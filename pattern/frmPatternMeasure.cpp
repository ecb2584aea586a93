// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern window's measured run: its controls beside the others, the
// queries between the steps, the replies into the session's readings, the
// limits and the report at the end.
#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>

#include "core/Clock.h"
#include "link/SerialPort.h"
#include "pattern/RunSession.h"
#include "pattern/frmPattern.h"
#include "platform/Controls.h"
#include "platform/Services.h"

namespace {
// Wide enough for the longer English captions; the column's height is the window's own.
constexpr int MeasureColumnWidth = 230;

QLabel* Note(const char* name)
{
    auto* label = Named(new QLabel, name);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}
}

void frmPattern::BuildMeasureControls()
{
    FrameMeasure = Named(new QGroupBox(tr("측정")), "FrameMeasure");
    FrameMeasure->setFixedWidth(MeasureColumnWidth);
    CheckMeasure = Named(new QCheckBox(tr("측정하며 실행")), "CheckMeasure");
    TextMeasureInterval = Named(new QLineEdit(QString::number(measureIntervalMs_)), "TextMeasureInterval");
    TextMeasureInterval->setAccessibleDescription(tr("측정 간격 (ms, 200 이상)"));
    TextLimitVoltage = Named(new QLineEdit, "TextLimitVoltage");
    TextLimitCurrent = Named(new QLineEdit, "TextLimitCurrent");
    TextLimitVoltage->setAccessibleDescription(tr("전압 한계 (V, 비우면 없음)"));
    TextLimitCurrent->setAccessibleDescription(tr("전류 한계 (A, 비우면 없음)"));
    QLabel* limitNote = Note("LabelLimitNote");
    limitNote->setText(tr("측정값이 한계를 넘으면 출력을 끄고 (OUTP:STAT OFF) 실행을 끝냅니다. 한계는 측정하며 "
                          "실행할 때만 지킵니다."));
    LabelRunSummary = Note("LabelRunSummary");
    LabelRunSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* grid = new QGridLayout(FrameMeasure);
    grid->addWidget(CheckMeasure, 0, 0, 1, 3);
    const std::pair<QLineEdit*, const char*> rows[]{
        {TextMeasureInterval, "ms"}, {TextLimitVoltage, "V"}, {TextLimitCurrent, "A"}};
    const char* captions[]{QT_TR_NOOP("간격 :"), QT_TR_NOOP("전압 한계"), QT_TR_NOOP("전류 한계")};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(new QLabel(tr(captions[i])), i + 1, 0);
        grid->addWidget(rows[i].first, i + 1, 1);
        grid->addWidget(new QLabel(QLatin1String(rows[i].second)), i + 1, 2);
    }
    grid->addWidget(limitNote, 4, 0, 1, 3);
    grid->addWidget(LabelRunSummary, 5, 0, 1, 3);
    grid->setRowStretch(5, 1);
    connect(CheckMeasure, &QCheckBox::clicked, this, &frmPattern::CheckMeasure_Click);
    connect(TextMeasureInterval, &QLineEdit::editingFinished, this, &frmPattern::TextMeasureInterval_KeyPress);
    connect(TextLimitVoltage, &QLineEdit::editingFinished, this, &frmPattern::TextLimitVoltage_KeyPress);
    connect(TextLimitCurrent, &QLineEdit::editingFinished, this, &frmPattern::TextLimitCurrent_KeyPress);
}

void frmPattern::CheckMeasure_Click()
{
    // Limits are kept only while measuring; they stay in their fields for the next time.
    LabelRunSummary->clear();
}

void frmPattern::TextMeasureInterval_KeyPress()
{
    measureIntervalMs_ = TypedMeasureInterval(TextMeasureInterval->text(), measureIntervalMs_);
    TextMeasureInterval->setText(QString::number(measureIntervalMs_));
}

void frmPattern::TextLimitVoltage_KeyPress()
{
    CommitLimit(TextLimitVoltage);
}

void frmPattern::TextLimitCurrent_KeyPress()
{
    CommitLimit(TextLimitCurrent);
}

bool frmPattern::CommitLimit(QLineEdit* field)
{
    const FieldValue value = AcceptLimitValue(field->text());
    if (field->text() != value.Text)
        field->setText(value.Text);
    // A limit works only while measuring, so setting one turns measuring on.
    if (value.Accepted && !value.Text.isEmpty())
        CheckMeasure->setChecked(true);
    return value.Accepted;
}

void frmPattern::StartMeasuring()
{
    TextMeasureInterval_KeyPress();
    MeasuredRun::Settings settings;
    settings.IntervalMs = measureIntervalMs_;
    settings.NewModel = session_->NewModelSelected();
    settings.VoltageLimit = LimitOf(TextLimitVoltage->text());
    settings.CurrentLimit = LimitOf(TextLimitCurrent->text());
    const int planned = RepeatForever ? 0 : engine_.RunStepCount() * UpDownReDo->Value();
    measured_.Start(settings, engine_, planned, LocalNow());
    reportPath_.clear();
    LabelRunSummary->setText(tr("측정하며 실행 중"));
    session_->TapReplies([this](const QString& line) { return OnRunReply(line); });
    tapped_ = true;
}

void frmPattern::MeasureTick(const RunEngine::Tick& tick)
{
    const int limit = UpDownReDo->Value();
    // A measured run that has played its repetitions ends once its last
    // questions are answered, before it would ask anything new.
    if (!tick.Sent && engine_.Finished(RepeatForever, limit) && measured_.Settled()) {
        StopRun(RunEnd::Completed);
        return;
    }
    const MeasuredRun::TickResult r = measured_.OnTick(SteadyMicros(), LocalNow(), engine_, tick, port_.BytesToWrite() == 0,
                                                       engine_.StepDueNextTick(RepeatForever, limit));
    if (!r.Query.isEmpty())
        port_.Write(r.Query);
    if (r.TellUnanswered)
        session_->Tell(UnansweredMessage(measured_.Output()));
}

bool frmPattern::OnRunReply(const QString& line)
{
    const MeasuredRun::Reply reply = measured_.OnReply(SteadyMicros(), line);
    if (!reply.Claimed)
        return false;
    const QScopedValueRollback<bool> inReply(inReply_, true);
    if (reply.Reading)
        session_->Measured(measured_.Output(), reply.Which == MeasuredRun::Quantity::Current, line);
    if (reply.Trip) {
        port_.Write(LimitOffCommand);
        const int output = measured_.Output();
        StopRun(RunEnd::LimitTripped);
        // The box waits for the operator; the receive handler that got us here must not.
        const QString message = LimitTripMessage(output, *reply.Trip);
        QMetaObject::invokeMethod(
            this, [this, message] { services_.ShowMessage(this, QStringLiteral("Tarvio"), message); },
            Qt::QueuedConnection);
    }
    return true;
}

void frmPattern::SaveReport()
{
    const RunReport& report = measured_.Report();
    const QString path = QDir(session_->ReportFolder()).filePath(RunReportName(report.StartedAt()));
    const Outcome written = WriteRunReport(report, path);
    reportPath_ = written.Ok() ? path : QString();
    const QString where = written.Ok() ? tr("보고서: %1").arg(QDir::toNativeSeparators(path))
                                       : tr("보고서를 저장하지 못했습니다");
    LabelRunSummary->setText(RunSummaryText(report.Summary()) + QStringLiteral("\n") + where);
    if (written.Ok())
        return;
    // Within a reply the box waits until the receive handler is done; a closing window cannot wait.
    if (!inReply_)
        services_.ShowMessage(this, QStringLiteral("Tarvio"), written.Message());
    else
        QMetaObject::invokeMethod(
            this, [this, text = written.Message()] { services_.ShowMessage(this, QStringLiteral("Tarvio"), text); },
            Qt::QueuedConnection);
}

void frmPattern::ReleaseTap()
{
    if (tapped_ && session_)
        session_->TapReplies({});
    tapped_ = false;
}
