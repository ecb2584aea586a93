// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QTextDocument>
#include <QTimer>
#include <QWidget>

#include "pattern/MeasuredRun.h"
#include "pattern/PatternEditing.h"
#include "pattern/PatternGridModel.h"
#include "pattern/PatternState.h"
#include "pattern/PatternTable.h"
#include "pattern/RunEngine.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class PictureBox;
class RunSession;
class SerialPort;
class UiServices;
class UpDown;

// The pattern window: a table of up to 100 timed steps, their entry fields,
// the preview and the run. While it is open the console is disabled; closing
// it, by any means, hands the console back in line mode. Its controls are its
// own, found by their object names from outside.
class frmPattern : public QWidget {
    Q_OBJECT
public:
    // singleOutput: the console shows the single-output layout, so P2 cannot run.
    // session: the console's session, which a measured run's replies go
    // into; without one the window has no measuring controls.
    frmPattern(PatternState& state, SerialPort& port, UiServices& services, bool singleOutput,
               RunSession* session = nullptr, QWidget* parent = nullptr);
    ~frmPattern() override;

    void Form_Load();
    void CmdEdit_Click();
    void CmdInsert_Click();
    void CmdDelete_Click();
    void CmdNewFile_Click();
    void MSFlexGrid1_MouseDown(int row, int column);
    void UpDownNo_Change();
    void OptionCV_Click();
    void OptionCC_Click();
    void TextTime_KeyPress();
    void TextVoltage_KeyPress();
    void TextCurrent_KeyPress();
    void TextReDo_KeyPress();
    void UpDownReDo_Change();
    void UpDownMaxVoltage_Change();
    void UpDownMaxCurrent_Change();
    void DrawPatternPreview();
    void CmdRunP1_Click();
    void CmdRunP2_Click();
    void Timer4_Timer();
    void CmdFileSave_Click();
    void CmdFileOpen_Click();
    void CmdPrint_Click();
    // The line was lost: a run ends as if 실행 끝내기 were pressed and never
    // restarts by itself; the operator is told where it stopped.
    void PortLost();
    void CheckMeasure_Click();
    void TextMeasureInterval_KeyPress();
    void TextLimitVoltage_KeyPress();
    void TextLimitCurrent_KeyPress();

    bool RunningP1() const { return engine_.Running() && engine_.Output() == 1; }
    bool RunningP2() const { return engine_.Running() && engine_.Output() == 2; }
    const RunEngine& Engine() const { return engine_; }
    const MeasuredRun& Measured() const { return measured_; }
    // Where the last measured run's report went (empty: none, or it failed).
    const QString& ReportPath() const { return reportPath_; }

    const PatternTable& Table() const { return table_; }
    PatternTable& Table() { return table_; }
    // Shows the table in the grid after the table changed behind it.
    void ShowTable();
    int CurrentRow() const { return currentRow_; }
    int CurrentColumn() const { return currentColumn_; }
    bool RepeatingForever() const { return RepeatForever; }

signals:
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Window state, which lives and dies with the window.
    int ClickCol = -1;
    int ClickRow = -1;
    LineEditArming LineEditing;
    bool CvMode = true;
    bool RepeatForever = true;

    QTableView* MSFlexGrid1;
    QPushButton *CmdEdit, *CmdInsert, *CmdDelete, *CmdNewFile;
    QPushButton *CmdFileOpen, *CmdFileSave, *CmdPrint, *CmdRunP1, *CmdRunP2;
    QRadioButton *OptionCV, *OptionCC;
    QLineEdit *TextNo, *TextTime, *TextVoltage, *TextCurrent, *TextReDo, *TextMaxVoltage, *TextMaxCurrent;
    UpDown *UpDownNo, *UpDownReDo, *UpDownMaxVoltage, *UpDownMaxCurrent;
    QLabel* LabelRedo;
    // How many steps of the running pattern the supply will refuse.
    QLabel* LabelRefused;
    QGroupBox* FrameAboutPattern;
    // Measuring while running, with the limits of the device under test.
    QGroupBox* FrameMeasure = nullptr;
    QCheckBox* CheckMeasure = nullptr;
    QLineEdit *TextMeasureInterval = nullptr, *TextLimitVoltage = nullptr, *TextLimitCurrent = nullptr;
    QLabel* LabelRunSummary = nullptr;
    PictureBox *PicturePreview, *PictureProgressBar;
    QTimer Timer4;
    // The printed listing, composed before the print dialog and kept until the next print.
    QTextDocument RichTextBox1;

    void BuildControls();
    void ConnectHandlers();
    void SetCurrentCell(int row, int column);
    void PaintLineButtons();
    // Commits the three entry fields into the current step; false when a value was refused.
    bool CommitStep();
    bool CommitField(QLineEdit* field, int column);
    void ShowRepeatCount();
    // Colours the voltages and currents the supply would refuse.
    void ShowRefusedCells();
    void RunButton_Click(int output);
    void ShowRunControls(bool running, int output);
    void BuildMeasureControls();
    // Commits a limit field; false when its text was refused.
    bool CommitLimit(QLineEdit* field);
    void StartMeasuring();
    void MeasureTick(const RunEngine::Tick& tick);
    bool OnRunReply(const QString& line);
    // Ends the run as 실행 끝내기 does; a measured run's report is written.
    void StopRun(RunEnd how);
    void SaveReport();
    void ReleaseTap();

    PatternState& state_;
    SerialPort& port_;
    UiServices& services_;
    bool singleOutput_;
    PatternTable table_;
    PatternGridModel grid_{table_};
    int currentRow_ = 1, currentColumn_ = 1;
    RunEngine engine_;
    RunSession* session_;
    MeasuredRun measured_;
    int measureIntervalMs_ = MeasuredRun::IntervalAtStartMs;
    bool tapped_ = false;
    bool inReply_ = false;   // within the receive handler, through the session's tap
    QString reportPath_;
    QString dialogFileName_;   // what the file dialogs last held while the window is open
};
