#include "pattern/frmPattern.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "console/ProgramState.h"
#include "pattern/PreviewGeometry.h"
#include "pattern/StepValues.h"
#include "platform/Controls.h"
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

frmPattern::frmPattern(ProgramState& state, SerialPort& port, UiServices& services, bool singleOutput,
                       QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), port_(port), services_(services), singleOutput_(singleOutput)
{
    setObjectName(QStringLiteral("frmPattern"));
    setAttribute(Qt::WA_DeleteOnClose);
    Timer4.setTimerType(Qt::PreciseTimer);
    BuildControls();
    ConnectHandlers();
    Form_Load();
}

frmPattern::~frmPattern()
{
    Timer4.stop();
}

void frmPattern::ConnectHandlers()
{
    connect(CmdEdit, &QPushButton::clicked, this, &frmPattern::CmdEdit_Click);
    connect(CmdInsert, &QPushButton::clicked, this, &frmPattern::CmdInsert_Click);
    connect(CmdDelete, &QPushButton::clicked, this, &frmPattern::CmdDelete_Click);
    connect(CmdNewFile, &QPushButton::clicked, this, &frmPattern::CmdNewFile_Click);
    connect(MSFlexGrid1, &QTableWidget::cellPressed, this,
            [this](int row, int column) { MSFlexGrid1_MouseDown(row + 1, column + 1); });
    connect(MSFlexGrid1->verticalHeader(), &QHeaderView::sectionPressed, this,
            [this](int row) { MSFlexGrid1_MouseDown(row + 1, 0); });
    connect(MSFlexGrid1->horizontalHeader(), &QHeaderView::sectionPressed, this,
            [this](int column) { MSFlexGrid1_MouseDown(0, column + 1); });
    connect(UpDownNo, &UpDown::Change, this, &frmPattern::UpDownNo_Change);
    connect(UpDownReDo, &UpDown::Change, this, &frmPattern::UpDownReDo_Change);
    connect(UpDownMaxVoltage, &UpDown::Change, this, &frmPattern::UpDownMaxVoltage_Change);
    connect(UpDownMaxCurrent, &UpDown::Change, this, &frmPattern::UpDownMaxCurrent_Change);
    connect(TextTime, &QLineEdit::returnPressed, this, &frmPattern::TextTime_KeyPress);
    connect(TextVoltage, &QLineEdit::returnPressed, this, &frmPattern::TextVoltage_KeyPress);
    connect(TextCurrent, &QLineEdit::returnPressed, this, &frmPattern::TextCurrent_KeyPress);
    connect(TextReDo, &QLineEdit::returnPressed, this, &frmPattern::TextReDo_KeyPress);
    // Option handlers follow the selection itself, however it was made.
    connect(OptionCV, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            OptionCV_Click();
    });
    connect(OptionCC, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            OptionCC_Click();
    });
}

void frmPattern::Form_Load()
{
    CvMode = true;
    CmdRunP1->setText(QStringLiteral("P1 실행하기"));
    CmdRunP2->setText(QStringLiteral("P2 실행하기"));
    if (singleOutput_)
        CmdRunP2->setEnabled(false);
    Timer4.stop();
    Timer4.setInterval(55);
    RepeatsDone = 0;
    TextReDo->setText(QStringLiteral("연속"));
    RepeatForever = true;
    SetCurrentCell(1, 1);
    LineEditMode = DeleteArmed = InsertArmed = false;
    CmdInsert->setEnabled(false);
    CmdDelete->setEnabled(false);
    PaintLineButtons();
    TextMaxVoltage->setText(FormatThreeDecimals(UpDownMaxVoltage->Value()));
    TextMaxCurrent->setText(FormatThreeDecimals(UpDownMaxCurrent->Value()));
    DrawPatternPreview();
}

void frmPattern::closeEvent(QCloseEvent* event)
{
    // A run ends with its window; nothing more is sent.
    Timer4.stop();
    event->accept();
    emit Closed();
}

void frmPattern::SetCurrentCell(int row, int column)
{
    currentRow_ = qBound(0, row, MaxPatternSteps);
    currentColumn_ = qBound(0, column, 3);
    if (currentRow_ >= 1 && currentColumn_ >= 1)
        MSFlexGrid1->setCurrentCell(currentRow_ - 1, currentColumn_ - 1);
}

void frmPattern::ShowTable()
{
    for (int row = 1; row <= MaxPatternSteps; ++row)
        for (int column = 1; column <= 3; ++column) {
            QTableWidgetItem* item = MSFlexGrid1->item(row - 1, column - 1);
            const QString text = table_.Cell(row, column);
            if (item->text() != text)
                item->setText(text);
        }
}

void frmPattern::PaintLineButtons()
{
    PaintFace(CmdInsert, InsertArmed ? Armed : NotArmed);
    PaintFace(CmdDelete, DeleteArmed ? Armed : NotArmed);
}

void frmPattern::CmdEdit_Click()
{
    if (!LineEditMode) {
        LineEditMode = true;
        CmdInsert->setEnabled(true);
        CmdDelete->setEnabled(true);
        CmdEdit->setText(QStringLiteral("셀 편집"));
    } else {
        LineEditMode = DeleteArmed = InsertArmed = false;
        CmdInsert->setEnabled(false);
        CmdDelete->setEnabled(false);
        CmdEdit->setText(QStringLiteral("라인 편집"));
    }
    PaintLineButtons();
}

void frmPattern::CmdInsert_Click()
{
    DeleteArmed = false;
    InsertArmed = true;
    PaintLineButtons();
}

void frmPattern::CmdDelete_Click()
{
    InsertArmed = false;
    DeleteArmed = true;
    PaintLineButtons();
}

void frmPattern::MSFlexGrid1_MouseDown(int row, int column)
{
    ClickCol = column;
    ClickRow = row;
    if (ClickRow < 1)
        return;
    if (InsertArmed) {
        // With no empty row left below, the last step would fall off the table.
        if (!table_.InsertLine(ClickRow))
            services_.Beep();
        ShowTable();
    } else if (DeleteArmed) {
        table_.DeleteLine(ClickRow);
        ShowTable();
    }
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
    const QString text = FormatThreeDecimals(LeadingNumber(field->text()));
    field->setText(text);
    if (LeadingNumber(text) < 0) {
        field->setText(QStringLiteral("ERROR"));
        return false;
    }
    if (table_.SetCell(currentRow_, column, text))
        MSFlexGrid1->item(currentRow_ - 1, column - 1)->setText(text);
    return true;
}

bool frmPattern::CommitStep()
{
    const long long row = RoundHalfEven(LeadingNumber(TextNo->text()));
    SetCurrentCell(row >= 1 && row <= MaxPatternSteps ? int(row) : currentRow_, 1);
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
    const long long n = RoundHalfEven(LeadingNumber(TextReDo->text()));
    if (n < 1) {
        UpDownReDo->SetValue(0);
        TextReDo->setText(QStringLiteral("연속"));
    } else {
        UpDownReDo->SetValue(int(qMin<long long>(n, 100)));
        TextReDo->setText(QString::number(UpDownReDo->Value()));
    }
    RepeatsDone = 0;
    LabelRedo->setText(QStringLiteral("0"));
}

void frmPattern::UpDownReDo_Change()
{
    const int value = UpDownReDo->Value();
    TextReDo->setText(QString::number(value));
    if (value != 0) {
        RepeatForever = false;
    } else {
        TextReDo->setText(QStringLiteral("연속"));
        RepeatForever = true;
    }
    RepeatsDone = 0;
    LabelRedo->setText(QStringLiteral("0"));
}

void frmPattern::UpDownMaxVoltage_Change()
{
    TextMaxVoltage->setText(FormatThreeDecimals(UpDownMaxVoltage->Value()));
}

void frmPattern::UpDownMaxCurrent_Change()
{
    TextMaxCurrent->setText(FormatThreeDecimals(UpDownMaxCurrent->Value()));
}

void frmPattern::DrawPatternPreview()
{
    const PreviewPicture picture =
        ::DrawPatternPreview(table_, CvMode, TextMaxVoltage->text(), TextMaxCurrent->text());
    state_.PreviewMaxTime = picture.PreviewMaxTime;
    PreviewStepCount = picture.PreviewStepCount;
    PicturePreview->Clear();
    for (const PreviewSegment& s : picture.Segments)
        PicturePreview->DrawLine(s.From, s.To, s.Colour, s.Dotted);
}
