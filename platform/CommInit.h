// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>
#include <QList>
#include <QString>

#include "link/PortChoices.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class SerialPort;
class UiServices;

// The modal dialog where the operator picks port, framing and flow control,
// and the only place the port is opened or closed.
class CommInit : public QDialog {
    Q_OBJECT
public:
    // openLabel and sendButton are the main window's LabelComportOpen and CmdStartStop.
    CommInit(SerialPort& port, CommInitChoices& choices, UiServices& services, QLabel* openLabel,
             QPushButton* sendButton, QWidget* parent = nullptr);

    // Rebuilds the initial selection, runs the load steps and shows the dialog modally.
    int Exec();
    void Form_Load();

    void CommInit_OK_Click();
    void CommInit_Close_Click();
    void CommInit_Cancel_Click();

    QRadioButton *Com1, *Com2, *Com3, *Com4;
    QRadioButton *Baud300, *Baud600, *Baud1200, *Baud2400, *Baud4800, *Baud9600, *Baud19200;
    QRadioButton *NoneParity, *OddParity, *EvenParity;
    QRadioButton *Data7bit, *Data8bit;
    QRadioButton *Stop1bit, *Stop2bit;
    QRadioButton *Flowcntlnone, *Flowcntlxonoff, *Flow_rtscts, *Flow_both;
    QPushButton *CommInit_OK, *CommInit_Close, *CommInit_Cancel;
    QCheckBox* CheckAutoReconnect;

signals:
    // 닫기 was pressed, whether or not the port was open: the operator wants it closed.
    void CloseRequested();

private:
    QGroupBox* AddGroup(ChoiceGroup group, const QString& caption,
                        std::initializer_list<std::pair<QRadioButton**, const char*>> options,
                        const QStringList& captions);
    void ShowSelection(const DialogSelection& selection);
    void RecordSelection();

    SerialPort& port_;
    CommInitChoices& choices_;
    UiServices& services_;
    QLabel* openLabel_;
    QPushButton* sendButton_;
    QButtonGroup* groups_[ChoiceGroupCount] = {};
    bool rebuilding_ = false;
};
