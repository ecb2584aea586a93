// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDateTime>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

#include "console/ConsoleController.h"
#include "link/ReceiveParser.h"
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
class frmMain : public QMainWindow, private ReceiveTarget, private ConsoleView {
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

    void MSComm1_OnComm(int code);
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();
    void CmdComport_Click();
    void TimerReconnect_Timer();
    // The console's deciding logic, for tests that look behind the controls.
    ConsoleController& Controller() { return controller_; }
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

    // The local clock the log reads; tests and benchmarks drive their own.
    std::function<QDateTime()> Clock = [] { return QDateTime::currentDateTime(); };
    // Where the measurement log goes; chosen at the first record when empty.
    QString LogFolder;
    // The open pattern window, if any.
    QWidget* PatternWindow() const { return patternWindow_; }
    // The trend window once it has been opened.
    PlotWindow* Plot() const { return plotWindow_.get(); }

    // Most lines TextInfo keeps; older lines are dropped from the top.
    static constexpr int MaxInfoLines = 5000;

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

signals:
    // For listeners such as the trend plot: every reply shown in a readout,
    // and every place where the readings stop (mode or layout change, the
    // port dialog, a lost port), so no line is drawn across it.
    void ReadoutShown(Readout which, const QString& text);
    void ReadingsInterrupted();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ConnectHandlers();
    void ConnectPlot();
    QLabel* MakeReadout(const char* name, const QString& description, bool measured);
    // The controls only a two-output supply uses.
    QList<QWidget*> P2Controls() const;
    void OnDeviceLost(const QString& device, const QString& reason);
    void PatternWindowClosed();
    void AppendLogRecord(const QDateTime& now, const QString& record);

    // ReceiveTarget: what the receive parser reads and writes here.
    bool PollTimerRunning() const override { return Timer3.isActive(); }
    bool MonitorModeSelected() const override;
    bool SetMonitorModeSelected() const override;
    bool SingleLayoutSelected() const override;   // also the ConsoleView's
    void ShowReadout(Readout which, const QString& text) override;
    void InsertInfoText(const QString& text) override;
    void ClearInfoText() override;

    // ConsoleView: the controls the console controller reads and writes.
    CommandMode SelectedMode() const override;
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
    void ShowPortStatus(const QString& text) override;
    void ShowPortLabel(PortLabel label) override;
    void InsertInfoLine(const QString& line) override;
    void OpenPatternWindow() override;
    void SetTimerInterval(ConsoleTimer timer, int ms) override;
    int TimerInterval(ConsoleTimer timer) const override;
    void StartTimer(ConsoleTimer timer) override;
    void StopTimer(ConsoleTimer timer) override;
    bool TimerRunning(ConsoleTimer timer) const override;
    QTimer& TimerFor(ConsoleTimer timer);
    const QTimer& TimerFor(ConsoleTimer timer) const;

    ProgramState& state_;
    SerialPort& port_;
    UiServices& services_;
    CommInit* commInit_ = nullptr;
    bool shownOnce_ = false;
    QPointer<QWidget> patternWindow_;
    ConsoleController controller_;
    std::unique_ptr<class MeasurementLogFile> log_;
    // The message lines of one read, inserted into TextInfo at once.
    bool batchingInfo_ = false;
    QString infoBatch_;
    std::unique_ptr<LiveReadings> plotReadings_;
    std::unique_ptr<PlotWindow> plotWindow_;
};
