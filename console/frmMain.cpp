#include "console/frmMain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QStandardPaths>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

#include "console/CommandTable.h"
#include "console/MeasurementLog.h"
#include "console/ProgramState.h"
#include "console/QueryBatch.h"
#include "console/ReferenceTexts.h"
#include "pattern/frmPattern.h"
#include "link/CommInit.h"
#include "link/LineEvents.h"
#include "link/SerialPort.h"
#include "platform/Controls.h"
#include "platform/Services.h"

namespace {
const QColor LampIdle(192, 192, 192);
const QColor LampSent(0, 255, 0);
const QColor LampReceived(255, 255, 0);
}

frmMain::frmMain(ProgramState& state, SerialPort& port, UiServices& services, QWidget* parent)
    : QMainWindow(parent), state_(state), port_(port), services_(services)
{
    for (QTimer* t : {&Timer1, &Timer2, &Timer3, &Timer4})
        t->setTimerType(Qt::PreciseTimer);
    BuildControls();
    TextInfo->SetMaximumLines(MaxInfoLines + 1);   // the last line end opens one more block
    ConnectHandlers();
    Form_Load();
}

frmMain::~frmMain()
{
    for (QTimer* t : {&Timer1, &Timer2, &Timer3, &Timer4})
        t->stop();
}

void frmMain::ConnectHandlers()
{
    connect(&Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &frmMain::Timer2_Timer);
    connect(&Timer3, &QTimer::timeout, this, &frmMain::Timer3_Timer);
    connect(&Timer4, &QTimer::timeout, this, &frmMain::Timer4_Timer);
    connect(CmdStartStop, &QPushButton::clicked, this, &frmMain::CmdStartStop_Click);
    connect(UpDownReDo, &UpDown::Change, this, &frmMain::UpDownReDo_Change);
    connect(UpDownTi, &UpDown::Change, this, &frmMain::UpDownTi_Change);
    connect(&port_, &SerialPort::LineEvent, this, &frmMain::MSComm1_OnComm);
    connect(&port_, &SerialPort::DeviceLost, this, &frmMain::OnDeviceLost);
    connect(CmdComport, &QPushButton::clicked, this, &frmMain::CmdComport_Click);
    // Option handlers follow the selection itself, however it was made.
    auto onSelected = [this](QRadioButton* option, void (frmMain::*handler)()) {
        connect(option, &QRadioButton::toggled, this, [this, handler](bool on) {
            if (on)
                (this->*handler)();
        });
    };
    onSelected(OptionSingle, &frmMain::OptionSingle_Click);
    onSelected(OptionDual, &frmMain::OptionDual_Click);
    onSelected(OptionLineCmd, &frmMain::OptionLineCmd_Click);
    onSelected(OptionMonitorCmd, &frmMain::OptionMonitorCmd_Click);
    onSelected(OptionSetCmd, &frmMain::OptionSetCmd_Click);
    onSelected(OptionPatternCmd, &frmMain::OptionPatternCmd_Click);
    onSelected(OptionCommand, &frmMain::OptionCommand_Click);
    onSelected(OptionError, &frmMain::OptionError_Click);
    onSelected(OptionETC, &frmMain::OptionETC_Click);

    for (const CommandEntry& entry : CommandTable())
        connect(FrameSelCmd->findChild<QPushButton*>(QLatin1String(entry.Button)), &QPushButton::clicked, this,
                [this, &entry] { CommandButton_Click(entry); });
    for (const KeypadKey& key : KeypadKeys())
        connect(FrameSelCmd->findChild<QPushButton*>(QLatin1String(key.Button)), &QPushButton::clicked, this,
                [this, &key] { KeypadKey_Click(key); });
    // Enter in the field is a press of the send button, and only when that button could be pressed.
    connect(TextCommand, &QLineEdit::returnPressed, CmdStartStop, &QPushButton::click);
    TextCommand->installEventFilter(this);
}

void frmMain::Form_Load()
{
    if (!port_.IsOpen()) {
        port_.SetReceiveThreshold(1);
        port_.SetRequestToSend(true);
    }
    ApplyMainLayout();
    ShowReferenceText();
    CmdStartStop->setEnabled(false);
    state_.RepeatIdle = -1;
    txtTim->setText(QString::number(UpDownTi->Value()));
    TextReDo->setText(QString::number(UpDownReDo->Value()));
    ShapeSend->SetFillColor(LampIdle);
    ShapeReceive->SetFillColor(LampIdle);
    Timer1.stop();
    Timer1.setInterval(UpDownReDo->Value());
    Timer2.setInterval(300);
    Timer2.start();
    Timer3.stop();
    Timer3.setInterval(200);
    Timer4.stop();
    Timer4.setInterval(UpDownTi->Value());
}

void frmMain::Form_Activate()
{
    SetStatusText(2, QStringLiteral("COM %1 : %2").arg(port_.PortNumber()).arg(port_.Settings()));
    ApplyCommandMode();
}

void frmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        Form_Activate();
    }
}

void frmMain::closeEvent(QCloseEvent* event)
{
    for (QTimer* t : {&Timer1, &Timer2, &Timer3, &Timer4})
        t->stop();
    port_.Close();
    event->accept();
}

void frmMain::SetStatusText(int panel, const QString& text)
{
    if (panel == 1)
        sbrInfo->setText(text);
    else if (panel == 2)
        sbrComm->setText(text);
}

void frmMain::ApplyMainLayout()
{
    const bool dual = !OptionSingle->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(LabelP2), static_cast<QWidget*>(LabelP2V),
                       static_cast<QWidget*>(LabelP2A), static_cast<QWidget*>(Label_P2_Voltage),
                       static_cast<QWidget*>(Label_P2_Current), static_cast<QWidget*>(Label_P2_Set_Voltage),
                       static_cast<QWidget*>(Label_P2_Set_Current)})
        w->setVisible(dual);
}

void frmMain::OptionSingle_Click()
{
    ApplyMainLayout();
}

void frmMain::OptionDual_Click()
{
    ApplyMainLayout();
}

void frmMain::ApplyCommandMode()
{
    if (!port_.IsOpen()) {
        FrameRedo->setEnabled(false);
        return;
    }
    FrameRedo->setEnabled(true);
    const bool single = OptionSingle->isChecked();
    ReceiveState& rx = state_.Receive;
    auto lockComposer = [this] {
        FrameSelCmd->setEnabled(false);
        TextCommand->setEnabled(false);
        CmdStartStop->setEnabled(false);
        CheckRedo->setChecked(false);
    };
    if (OptionLineCmd->isChecked()) {
        FrameSelCmd->setEnabled(true);
        TextCommand->setEnabled(true);
        CmdStartStop->setEnabled(true);
        Timer3.stop();
        Timer4.stop();
        rx.PollIndex = 0;
    }
    if (OptionMonitorCmd->isChecked()) {
        lockComposer();
        // Monitoring always keeps the port settings locked, also when it is
        // resumed after the port was lost and opened again.
        CmdComport->setEnabled(false);
        state_.SendText = BuildMonitorBatch(single, OptionNew->isChecked());
        Timer3.setInterval(PollIntervalMs(single));
        Timer4.setInterval(txtTim->text().toInt());
        Timer3.start();
        Timer4.start();
        rx.PollIndex = 0;
        rx.LineBuffer.clear();
    }
    if (OptionSetCmd->isChecked()) {
        lockComposer();
        ShapeSend->SetFillColor(LampSent);
        state_.SendText = BuildSetMonitorBatch(single);
        Timer3.setInterval(PollIntervalMs(single));
        Timer4.setInterval(txtTim->text().toInt());
        port_.Write(state_.SendText.toLatin1());
        state_.SendText.clear();
        Timer3.stop();
        Timer4.stop();
        rx.PollIndex = 0;
        rx.LineBuffer.clear();
    }
    if (OptionPatternCmd->isChecked()) {
        lockComposer();
        Timer3.stop();
        Timer4.stop();
        rx.PollIndex = 0;
        rx.LineBuffer.clear();
        ShowPatternWindow();
    }
}

void frmMain::OptionLineCmd_Click()
{
    FrameModelSelect->setEnabled(true);
    CmdComport->setEnabled(true);
    ApplyCommandMode();
}

void frmMain::OptionMonitorCmd_Click()
{
    FrameModelSelect->setEnabled(false);
    CmdComport->setEnabled(false);
    ApplyCommandMode();
}

void frmMain::OptionSetCmd_Click()
{
    CmdComport->setEnabled(true);
    ApplyCommandMode();
}

void frmMain::OptionPatternCmd_Click()
{
    FrameModelSelect->setEnabled(false);
    CmdComport->setEnabled(true);
    ApplyCommandMode();
}

void frmMain::ShowPatternWindow()
{
    if (patternWindow_) {
        patternWindow_->raise();
        return;
    }
    auto* window = new frmPattern(state_.Pattern, port_, services_, OptionSingle->isChecked());
    patternWindow_ = window;
    connect(window, &frmPattern::Closed, this, &frmMain::PatternWindowClosed);
    setEnabled(false);
    window->show();
}

void frmMain::PatternWindowClosed()
{
    OptionLineCmd->setChecked(true);
    setEnabled(true);
    Form_Activate();
}

void frmMain::CmdStartStop_Click()
{
    if (!OptionLineCmd->isChecked())
        return;
    if (TextCommand->text().isEmpty())
        return;
    state_.SendText = TextCommand->text() + QLatin1Char('\n');
    if (!CheckRedo->isChecked() || state_.RepeatIdle == -1)
        history_.Add(TextCommand->text());
    if (!CheckRedo->isChecked()) {
        SendNow();
        return;
    }
    if (state_.RepeatIdle == -1) {
        FrameModelSelect->setEnabled(false);
        // An interval of 0 never fires, where a Qt timer of 0 ms would fire continuously.
        if (Timer1.interval() > 0)
            Timer1.start();
        state_.RepeatIdle = 0;
        CmdStartStop->setText(QStringLiteral("명령 중지"));
        FrameRedo->setEnabled(false);
    } else {
        FrameModelSelect->setEnabled(true);
        Timer1.stop();
        state_.RepeatIdle = -1;
        CmdStartStop->setText(QStringLiteral("명령 전송"));
        FrameRedo->setEnabled(true);
    }
}

void frmMain::SendNow()
{
    ShapeSend->SetFillColor(LampSent);
    port_.Write(state_.SendText.toLatin1());
}

void frmMain::Timer1_Timer()
{
    SendNow();
}

void frmMain::Timer3_Timer()
{
    SendNow();
}

void frmMain::UpDownReDo_Change()
{
    TextReDo->setText(QString::number(UpDownReDo->Value()));
    Timer1.setInterval(UpDownReDo->Value());
    if (UpDownReDo->Value() == 0)
        Timer1.stop();
    else if (state_.RepeatIdle == 0 && !Timer1.isActive())
        Timer1.start();
}

void frmMain::UpDownTi_Change()
{
    txtTim->setText(QString::number(UpDownTi->Value()));
    Timer4.setInterval(UpDownTi->Value());
}

void frmMain::Timer4_Timer()
{
    const QString v1 = Label_P1_Voltage->text(), i1 = Label_P1_Current->text();
    if (OptionSingle->isChecked()) {
        InsertInfoText(BuildSingleRecord(v1, i1, LogTimestamp(Clock())));
    } else {
        InsertInfoText(BuildDualEchoLine(1, v1, i1, LogTimestamp(Clock())));
        InsertInfoText(BuildDualEchoLine(2, Label_P2_Voltage->text(), Label_P2_Current->text(), LogTimestamp(Clock())));
    }
    // The record reads the readouts and the clock again, as they stand now.
    const QDateTime now = Clock();
    const QString ts = LogTimestamp(now);
    const QString record = OptionSingle->isChecked()
                               ? BuildSingleRecord(Label_P1_Voltage->text(), Label_P1_Current->text(), ts)
                               : BuildDualRecord(Label_P1_Voltage->text(), Label_P1_Current->text(),
                                                 Label_P2_Voltage->text(), Label_P2_Current->text(), ts);
    if (LogFolder.isEmpty())
        LogFolder = ChooseLogFolder(QCoreApplication::applicationDirPath(),
                                    QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    if (!log_ || log_->Folder() != LogFolder)
        log_ = std::make_unique<MeasurementLogFile>(LogFolder);
    QString failure;
    if (!log_->Append(now.date(), record, &failure) && !failure.isEmpty())
        InsertInfoText(failure + QStringLiteral("\r\n"));
}

bool frmMain::MonitorModeSelected() const
{
    return OptionMonitorCmd->isChecked();
}

bool frmMain::SetMonitorModeSelected() const
{
    return OptionSetCmd->isChecked();
}

bool frmMain::SingleLayoutSelected() const
{
    return OptionSingle->isChecked();
}

void frmMain::ShowReadout(Readout which, const QString& text)
{
    QLabel* const readouts[] = {Label_P1_Voltage,     Label_P1_Current,     Label_P2_Voltage,
                                Label_P2_Current,     Label_P1_Set_Voltage, Label_P1_Set_Current,
                                Label_P2_Set_Voltage, Label_P2_Set_Current};
    readouts[int(which)]->setText(text);
}

void frmMain::InsertInfoText(const QString& text)
{
    TextInfo->InsertText(text);
}

void frmMain::ClearInfoText()
{
    TextInfo->ClearText();
}

void frmMain::Timer2_Timer()
{
    ShapeSend->SetFillColor(LampIdle);
    ShapeReceive->SetFillColor(LampIdle);
}

void frmMain::MSComm1_OnComm(int code)
{
    if (code == LineEventCode::Receive) {
        ReceiveParser(state_.Receive, *this, QString::fromLatin1(port_.ReadAll()));
        ShapeReceive->SetFillColor(LampReceived);
        return;
    }
    const QString message = LineEventMessage(code);
    if (!message.isEmpty())
        TextInfo->InsertText(message + QStringLiteral("\r\n"));
}

void frmMain::OnDeviceLost(const QString& device, const QString& reason)
{
    TextInfo->InsertText(DeviceLostMessage(device, reason) + QStringLiteral("\r\n"));
    LabelComportOpen->setText(QStringLiteral("닫혔음"));
    CmdStartStop->setEnabled(false);
    // Polling a closed port would only log stale readouts as if fresh; the
    // port button must work so the operator can open the port again.
    Timer3.stop();
    Timer4.stop();
    CmdComport->setEnabled(true);
    ApplyCommandMode();
}

void frmMain::CmdComport_Click()
{
    if (!commInit_)
        commInit_ = new CommInit(port_, state_.Dialog, services_, LabelComportOpen, CmdStartStop, this);
    commInit_->Exec();
    Form_Activate();
}

void frmMain::OptionCommand_Click()
{
    ShowReferenceText();
}

void frmMain::OptionError_Click()
{
    ShowReferenceText();
}

void frmMain::OptionETC_Click()
{
    ShowReferenceText();
}

void frmMain::ShowReferenceText()
{
    ReferenceList list;
    if (OptionCommand->isChecked())
        list = ReferenceList::Commands;
    else if (OptionError->isChecked())
        list = ReferenceList::Errors;
    else if (OptionETC->isChecked())
        list = ReferenceList::Models;
    else
        return;
    TextMessage->ClearText();
    TextMessage->InsertText(ReferenceText(list));
    // Just after the first character, which brings the first line back into view.
    TextMessage->SetInsertionPoint(1);
}

void frmMain::CommandButton_Click(const CommandEntry& entry)
{
    TextCommand->setText(entry.FieldText);
    SetStatusText(1, HelpLine(entry));
}

void frmMain::KeypadKey_Click(const KeypadKey& key)
{
    if (key.Appends.isEmpty()) {
        CmdDel_Click();
        return;
    }
    // Always at the end, wherever the caret stands.
    TextCommand->setText(TextCommand->text() + key.Appends);
}

void frmMain::CmdDel_Click()
{
    const QString text = TextCommand->text();
    if (!text.isEmpty())
        TextCommand->setText(text.left(text.size() - 1));
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == TextCommand && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up) {
            TextCommand->setText(history_.Older(TextCommand->text()));
            return true;
        }
        if (key == Qt::Key_Down) {
            TextCommand->setText(history_.Newer(TextCommand->text()));
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
