// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <memory>

#include "console/ConsoleController.h"
#include "platform/Controls.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class CommInit;
class LiveReadings;
class PlotWindow;
class SerialPort;
class UiServices;
struct ProgramState;

// The console: readouts of one or two outputs, the command field and its
// buttons, the repeat and monitor controls, the port controls and the panels.
// It shows its session (Controller()) and hands it the operator's clicks; its
// controls are its own, found by their object names from outside.
class frmMain : public QMainWindow, private ConsoleView {
    Q_OBJECT
public:
    frmMain(ProgramState& state, SerialPort& port, UiServices& services, QWidget* parent = nullptr);
    ~frmMain() override;

    // Status bar panels: 1 help and information, 2 port and settings.
    void SetStatusText(int panel, const QString& text);
    void ApplyMainLayout();
    void ApplyCommandMode();

    void Form_Load();
    // Runs at the first display and on each return from the port dialog or the
    // pattern window; focus coming back from another program is not one of them.
    void Form_Activate();

    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();
    void CmdComport_Click();
    void TimerReconnect_Timer();
    void CmdStartStop_Click();
    void UpDownReDo_Change();
    void UpDownTi_Change();
    void OptionSingle_Click();
    void OptionDual_Click();
    void OptionLineCmd_Click();
    void OptionMonitorCmd_Click();
    void OptionSetCmd_Click();
    void OptionPatternCmd_Click();
    void OptionCommand_Click();
    void OptionError_Click();
    void OptionETC_Click();
    void ShowReferenceText();
    // The composer's 24 keyword buttons and its keypad share these handlers.
    void CommandButton_Click(const struct CommandEntry& entry);
    void KeypadKey_Click(const struct KeypadKey& key);
    void CmdDel_Click();
    void CmdGraph_Click();

    // The console's session: sending, routing, readings, the port's state, the log.
    ConsoleController& Controller() { return controller_; }
    // The open pattern window, if any.
    QWidget* PatternWindow() const { return patternWindow_; }
    // The trend window once it has been opened.
    PlotWindow* Plot() const { return plotWindow_.get(); }

    // Most lines TextInfo keeps; older lines are dropped from the top.
    static constexpr int MaxInfoLines = 5000;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ConnectHandlers();
    void ConnectPlot();
    QLabel* MakeReadout(const char* name, const QString& description, bool measured);
    QLabel* ReadoutLabel(Readout which) const;
    // The controls only a two-output supply uses.
    QList<QWidget*> P2Controls() const;
    void PatternWindowClosed();

    // ConsoleView: the controls the console controller reads and writes.
    CommandMode SelectedMode() const override;
    bool SingleLayoutSelected() const override;
    bool NewModelSelected() const override;
    bool RepeatChecked() const override;
    QString CommandText() const override;
    QString MonitorIntervalText() const override;
    int RepeatSpinnerValue() const override;
    int MonitorSpinnerValue() const override;
    void EnableModeGroup(bool on) override;
    void EnableModelGroup(bool on) override;
    void EnablePortButton(bool on) override;
    void EnableSendButton(bool on) override;
    void EnableComposer(bool on) override;
    void ShowRepeatRunning(bool running) override;
    void LightSendLamp() override;
    void LightReceiveLamp() override;
    void ShowPortStatus(const QString& text) override;
    void ShowPortState(PortState state) override;
    void InsertInfoText(const QString& text) override;
    void ClearInfoText() override;
    void OpenPatternWindow() override;
    void SetTimerInterval(ConsoleTimer timer, int ms) override;
    int TimerInterval(ConsoleTimer timer) const override;
    void StartTimer(ConsoleTimer timer) override;
    void StopTimer(ConsoleTimer timer) override;
    bool TimerRunning(ConsoleTimer timer) const override;
    QTimer& TimerFor(ConsoleTimer timer);
    const QTimer& TimerFor(ConsoleTimer timer) const;

    // Display group.
    QLabel *LabelP1, *LabelP2, *LabelP1V, *LabelP1A, *LabelP2V, *LabelP2A;
    QLabel *Label_P1_Voltage, *Label_P1_Current, *Label_P2_Voltage, *Label_P2_Current;
    QLabel *Label_P1_Set_Voltage, *Label_P1_Set_Current, *Label_P2_Set_Voltage, *Label_P2_Set_Current;
    TextPanel* TextInfo;
    SpacedTextPanel* TextMessage;
    // Model and port groups.
    QGroupBox* FrameModelSelect;
    QRadioButton *OptionSingle, *OptionDual, *OptionOld, *OptionNew;
    QPushButton* CmdComport;
    QPushButton* CmdGraph;
    QLabel* LabelComportOpen;
    // Sending.
    Lamp *ShapeSend, *ShapeReceive;
    QGroupBox* FrameRedo;
    QRadioButton *OptionLineCmd, *OptionMonitorCmd, *OptionSetCmd, *OptionPatternCmd;
    QCheckBox* CheckRedo;
    QLineEdit* TextReDo;
    UpDown* UpDownReDo;
    QLineEdit* txtTim;
    UpDown* UpDownTi;
    QGroupBox* FrameSelCmd;
    QLineEdit* TextCommand;
    QPushButton* CmdStartStop;
    // Reference selector.
    QRadioButton *OptionCommand, *OptionError, *OptionETC;
    QStatusBar* StatusBar1;
    QLabel *sbrInfo, *sbrComm;

    QTimer Timer1, Timer2, Timer3, Timer4;
    // About once a second while a lost device is awaited.
    QTimer TimerReconnect;

    ProgramState& state_;
    SerialPort& port_;
    UiServices& services_;
    CommInit* commInit_ = nullptr;
    bool shownOnce_ = false;
    QPointer<QWidget> patternWindow_;
    ConsoleController controller_;
    std::unique_ptr<LiveReadings> plotReadings_;
    std::unique_ptr<PlotWindow> plotWindow_;
};
