#include "console/frmMain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

#include "console/ProgramState.h"
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
    connect(&Timer2, &QTimer::timeout, this, &frmMain::Timer2_Timer);
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
}

void frmMain::Form_Load()
{
    if (!port_.IsOpen()) {
        port_.SetReceiveThreshold(1);
        port_.SetRequestToSend(true);
    }
    ApplyMainLayout();
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
}

void frmMain::Timer2_Timer()
{
    ShapeSend->SetFillColor(LampIdle);
    ShapeReceive->SetFillColor(LampIdle);
}

void frmMain::MSComm1_OnComm(int code)
{
    if (code == LineEventCode::Receive) {
        const QString text = QString::fromLatin1(port_.ReadAll());
        TextInfo->InsertText(text);
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
    ApplyCommandMode();
}

void frmMain::CmdComport_Click()
{
    if (!commInit_)
        commInit_ = new CommInit(port_, state_.Dialog, services_, LabelComportOpen, CmdStartStop, this);
    commInit_->Exec();
    Form_Activate();
}
