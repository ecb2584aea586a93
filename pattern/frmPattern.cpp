// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pattern/frmPattern.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPrinter>
#include <QTableView>

#include "link/SerialPort.h"
#include "pattern/PatternFile.h"
#include "pattern/PatternPrintout.h"
#include "pattern/PreviewGeometry.h"
#include "pattern/RunSession.h"
#include "pattern/StepLimits.h"
#include "pattern/StepValues.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/PictureBox.h"
#include "platform/Services.h"

namespace {
const QColor Armed(255, 255, 192);
const QColor NotArmed(192, 192, 192);

void PaintFace(QPushButton* button, const QColor& colour)
{
    QPalette p = button->palette();
    p.setColor(QPalette::Button, colour);
    button->setPalette(p);
}
}

frmPattern::frmPattern(PatternState& state, SerialPort& port, UiServices& services, bool singleOutput,
                       RunSession* session, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), port_(port), services_(services), singleOutput_(singleOutput),
      session_(session)
{
    setObjectName(QStringLiteral("frmPattern"));
    setAttribute(Qt::WA_DeleteOnClose);
    Timer4.setTimerType(Qt::PreciseTimer);
    RichTextBox1.setDefaultFont(PrintListingFont());
    // Children, so that tests find them by name as they find the controls.
    for (QObject* named : {static_cast<QObject*>(&Timer4), static_cast<QObject*>(&RichTextBox1)})
        named->setParent(this);
    Timer4.setObjectName(QStringLiteral("Timer4"));
    RichTextBox1.setObjectName(QStringLiteral("RichTextBox1"));
    BuildControls();
    ConnectHandlers();
    Form_Load();
}

frmPattern::~frmPattern()
{
    Timer4.stop();
    ReleaseTap();
}

void frmPattern::Form_Load()
{
    CvMode = true;
    CmdRunP1->setText(tr("P1 실행하기"));
    CmdRunP2->setText(tr("P2 실행하기"));
    if (singleOutput_)
        CmdRunP2->setEnabled(false);
    Timer4.stop();
    // Each tick credits 55 ms of pattern time, so that is how often it comes.
    Timer4.setInterval(RunTimerMs);
    engine_.Stop();
    engine_.ResetRepeatsDone();
    TextReDo->setText(tr("연속"));
    RepeatForever = true;
    SetCurrentCell(1, 1);
    LineEditing.Reset();
    PaintLineButtons();
    TextMaxVoltage->setText(FormatThreeDecimals(UpDownMaxVoltage->Value()));
    TextMaxCurrent->setText(FormatThreeDecimals(UpDownMaxCurrent->Value()));
    if (CheckMeasure) {
        CheckMeasure->setChecked(false);
        measureIntervalMs_ = MeasuredRun::IntervalAtStartMs;
        TextMeasureInterval->setText(QString::number(measureIntervalMs_));
        TextLimitVoltage->clear();
        TextLimitCurrent->clear();
    }
    DrawPatternPreview();
}

void frmPattern::closeEvent(QCloseEvent* event)
{
    // A run ends with its window; nothing more is sent.
    Timer4.stop();
    if (measured_.Running()) {
        measured_.End(RunEnd::Closed);
        SaveReport();
    }
    ReleaseTap();
    event->accept();
    emit Closed();
}

void frmPattern::SetCurrentCell(int row, int column)
{
    currentRow_ = qBound(0, row, MaxPatternSteps);
    currentColumn_ = qBound(0, column, 3);
    if (currentRow_ >= 1 && currentColumn_ >= 1)
        MSFlexGrid1->setCurrentIndex(grid_.index(currentRow_ - 1, currentColumn_ - 1));
}

void frmPattern::ShowTable()
{
    grid_.TableChanged();
    ShowRefusedCells();
}

void frmPattern::ShowRefusedCells()
{
    const StepLimits limits = StepLimits::FromTexts(TextMaxVoltage->text(), TextMaxCurrent->text());
    for (int row = 1; row <= MaxPatternSteps; ++row)
        for (int column = 2; column <= 3; ++column)
            grid_.SetRefused(row, column, limits.Refuses(column, table_.Cell(row, column)));
}

void frmPattern::PaintLineButtons()
{
    CmdInsert->setEnabled(LineEditing.LineEditMode());
    CmdDelete->setEnabled(LineEditing.LineEditMode());
    PaintFace(CmdInsert, LineEditing.InsertArmed() ? Armed : NotArmed);
    PaintFace(CmdDelete, LineEditing.DeleteArmed() ? Armed : NotArmed);
}

void frmPattern::CmdEdit_Click()
{
    LineEditing.ToggleLineEditMode();
    CmdEdit->setText(LineEditing.LineEditMode() ? tr("셀 편집") : tr("라인 편집"));
    PaintLineButtons();
}

void frmPattern::CmdInsert_Click()
{
    LineEditing.ArmInsert();
    PaintLineButtons();
}

void frmPattern::CmdDelete_Click()
{
    LineEditing.ArmDelete();
    PaintLineButtons();
}

void frmPattern::MSFlexGrid1_MouseDown(int row, int column)
{
    ClickCol = column;
    ClickRow = row;
    if (ClickRow < 1)
        return;
    const LineEditArming::Outcome outcome = LineEditing.ApplyClick(table_, ClickRow);
    if (outcome == LineEditArming::Outcome::Refused)
        services_.Beep();
    if (outcome != LineEditArming::Outcome::Untouched)
        ShowTable();
    SetCurrentCell(ClickRow, ClickCol);
    QLineEdit* const fields[] = {TextTime, TextVoltage, TextCurrent};
    if (ClickCol >= 1 && ClickCol <= 3) {
        for (int column = 1; column <= 3; ++column)
            fields[column - 1]->setText(table_.Cell(ClickRow, column));
        fields[ClickCol - 1]->setFocus();
    }
    TextNo->setText(QLatin1Char(' ') + QString::number(currentRow_));
}

void frmPattern::UpDownNo_Change()
{
    const int row = UpDownNo->Value();
    SetCurrentCell(row, 3);
    TextNo->setText(QString::number(row));
    TextTime->setText(table_.Cell(row, 1));
    TextVoltage->setText(table_.Cell(row, 2));
    TextCurrent->setText(table_.Cell(row, 3));
}

void frmPattern::CmdNewFile_Click()
{
    table_.ClearValues();
    ShowTable();
    DrawPatternPreview();
}

void frmPattern::OptionCV_Click()
{
    CvMode = true;
    DrawPatternPreview();
}

void frmPattern::OptionCC_Click()
{
    CvMode = false;
    DrawPatternPreview();
}

bool frmPattern::CommitField(QLineEdit* field, int column)
{
    currentColumn_ = column;
    const FieldValue value = AcceptStepValue(field->text());
    field->setText(value.Text);
    if (value.Accepted && table_.SetCell(currentRow_, column, value.Text)) {
        grid_.CellChanged(currentRow_, column);
        ShowRefusedCells();
    }
    return value.Accepted;
}

bool frmPattern::CommitStep()
{
    SetCurrentCell(TypedStepRow(TextNo->text(), currentRow_), 1);
    return CommitField(TextTime, 1) && CommitField(TextVoltage, 2) && CommitField(TextCurrent, 3);
}

void frmPattern::TextTime_KeyPress()
{
    if (CommitStep())
        TextVoltage->setFocus();
}

void frmPattern::TextVoltage_KeyPress()
{
    if (!CommitStep())
        return;
    TextCurrent->setFocus();
    DrawPatternPreview();
}

void frmPattern::TextCurrent_KeyPress()
{
    if (!CommitStep())
        return;
    TextTime->setFocus();
    DrawPatternPreview();
}

void frmPattern::TextReDo_KeyPress()
{
    // The spinner's own handler follows when the count moves.
    UpDownReDo->SetValue(TypedRepeatCount(TextReDo->text()));
    ShowRepeatCount();
}

void frmPattern::UpDownReDo_Change()
{
    RepeatForever = RepeatsForever(UpDownReDo->Value());
    ShowRepeatCount();
}

void frmPattern::ShowRepeatCount()
{
    TextReDo->setText(RepeatCountText(UpDownReDo->Value()));
    engine_.ResetRepeatsDone();
    LabelRedo->setText(QStringLiteral("0"));
}

void frmPattern::UpDownMaxVoltage_Change()
{
    TextMaxVoltage->setText(FormatThreeDecimals(UpDownMaxVoltage->Value()));
    ShowRefusedCells();
}

void frmPattern::UpDownMaxCurrent_Change()
{
    TextMaxCurrent->setText(FormatThreeDecimals(UpDownMaxCurrent->Value()));
    ShowRefusedCells();
}

void frmPattern::DrawPatternPreview()
{
    const PreviewPicture picture =
        ComposePreviewPicture(table_, CvMode, TextMaxVoltage->text(), TextMaxCurrent->text());
    state_.PreviewMaxTime = picture.PreviewMaxTime;
    PicturePreview->Clear();
    for (const PreviewSegment& s : picture.Segments)
        PicturePreview->DrawLine(s.From, s.To, s.Colour, s.Dotted);
}

void frmPattern::CmdRunP1_Click()
{
    RunButton_Click(1);
}

void frmPattern::CmdRunP2_Click()
{
    RunButton_Click(2);
}

void frmPattern::RunButton_Click(int output)
{
    if (!(engine_.Running() && engine_.Output() == output)) {
        // A limit typed but not entered is taken now, or the run does not start.
        if (CheckMeasure && CheckMeasure->isChecked() && !(CommitLimit(TextLimitVoltage) && CommitLimit(TextLimitCurrent))) {
            services_.Beep();
            return;
        }
        if (!engine_.Start(table_, output)) {
            services_.Beep();
            return;
        }
        if (CheckMeasure && CheckMeasure->isChecked())
            StartMeasuring();
        Timer4.start();
        ShowRunControls(true, output);
        // The steps still go out as they are; the operator is told what the supply will make of them.
        const int refused = StepLimits::FromTexts(TextMaxVoltage->text(), TextMaxCurrent->text()).RefusedSteps(table_);
        LabelRefused->setText(refused > 0 ? tr("공급기가 거부할 단계 %1개").arg(refused) : QString());
    } else {
        StopRun(RunEnd::Stopped);
    }
}

void frmPattern::StopRun(RunEnd how)
{
    const int output = engine_.Output();
    engine_.Stop();
    LabelRedo->setText(QStringLiteral("0"));
    Timer4.stop();
    ShowRunControls(false, output);
    LabelRefused->clear();
    if (measured_.Running()) {
        measured_.End(how);
        SaveReport();
    }
}

void frmPattern::PortLost()
{
    if (!engine_.Running())
        return;
    const int output = engine_.Output();
    const RunEngine::Position at = engine_.LastSent();
    StopRun(RunEnd::PortLost);
    services_.ShowMessage(this, QStringLiteral("Tarvio"), RunLostMessage(output, at));
}

void frmPattern::ShowRunControls(bool running, int output)
{
    QPushButton* own = output == 1 ? CmdRunP1 : CmdRunP2;
    QPushButton* other = output == 1 ? CmdRunP2 : CmdRunP1;
    own->setText(running ? tr("실행 끝내기") : output == 1 ? tr("P1 실행하기")
                                                                     : tr("P2 실행하기"));
    // P2 exists only on a two-output supply.
    other->setEnabled(!running && (other == CmdRunP1 || !singleOutput_));
    for (QWidget* w : {static_cast<QWidget*>(TextReDo), static_cast<QWidget*>(UpDownReDo),
                       static_cast<QWidget*>(CmdNewFile), static_cast<QWidget*>(CmdFileOpen),
                       static_cast<QWidget*>(CmdFileSave), static_cast<QWidget*>(CmdPrint)})
        w->setEnabled(!running);
    if (CheckMeasure)
        for (QWidget* w : {static_cast<QWidget*>(CheckMeasure), static_cast<QWidget*>(TextMeasureInterval),
                           static_cast<QWidget*>(TextLimitVoltage), static_cast<QWidget*>(TextLimitCurrent)})
            w->setEnabled(!running);
}

void frmPattern::Timer4_Timer()
{
    const RunEngine::Tick tick = engine_.OnTick(RepeatForever, UpDownReDo->Value());
    if (tick.Sent) {
        PictureProgressBar->Clear();
        PictureProgressBar->DrawCircle(ProgressMarkCentre(tick.StepTime, state_.PreviewMaxTime), 100, Qt::red);
        port_.Write(tick.Command);
        if (tick.RepetitionDone)
            LabelRedo->setText(QString::number(engine_.RepeatsDone()));
    }
    if (measured_.Running())
        MeasureTick(tick);
}

namespace {
const QString PatternTitleOpen = QStringLiteral("Open Pattern");
const QString PatternTitleSave = QStringLiteral("Save File");
const QString PatternFilter = QStringLiteral("Text Files(*.txt)");
}

void frmPattern::CmdFileSave_Click()
{
    const QString path = services_.SaveFileName(this, PatternTitleSave, PatternFilter, state_.LastSaveName);
    if (path.isEmpty())
        return;
    state_.LastSaveName = path;
    dialogFileName_ = path;
    const Outcome saved = SavePattern(path, table_);
    const QString leftOut = SaveLeftOutMessage(table_);
    if (!saved.Ok())
        services_.ShowMessage(this, QStringLiteral("Tarvio"), saved.Message());
    else if (!leftOut.isEmpty())
        services_.ShowMessage(this, QStringLiteral("Tarvio"), leftOut);
}

void frmPattern::CmdFileOpen_Click()
{
    const QString path = services_.OpenFileName(this, PatternTitleOpen, PatternFilter, dialogFileName_);
    if (!path.isEmpty()) {
        dialogFileName_ = path;
        const Outcome loaded = LoadPattern(path, table_);
        ShowTable();
        if (!loaded.Ok())
            services_.ShowMessage(this, QStringLiteral("Tarvio"), loaded.Message());
    }
    DrawPatternPreview();
}

void frmPattern::CmdPrint_Click()
{
    // The document keeps lines, not line ends: CR LF is one break on paper.
    RichTextBox1.setPlainText(ComposePrintListing(table_).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QPrinter printer;
    if (!services_.PrintDialog(this, printer))
        return;
    // A document without a page size is printed with page numbers added;
    // the listing has none.
    const QRectF page = printer.pageLayout().paintRect(QPageLayout::Point);
    RichTextBox1.setPageSize(page.size());
    RichTextBox1.print(&printer);
}
