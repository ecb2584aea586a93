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
class QPushButton;
class QRadioButton;
class SerialPort;
class UiServices;

// The modal dialog where the operator picks port, framing and flow control,
// and the only place the port is opened or closed. It reads the port's
// configuration and says what the operator asked for (열기, 닫기) to the
// port's owner, which opens or closes it and shows the outcome on the console.
class CommInit : public QDialog {
    Q_OBJECT
public:
    CommInit(const SerialPort& port, CommInitChoices& choices, UiServices& services, PortRequests& requests,
             QWidget* parent = nullptr);

    // Rebuilds the initial selection, runs the load steps and shows the dialog modally.
    int Exec();
    void Form_Load();

    void CommInit_OK_Click();
    void CommInit_Close_Click();
    void CommInit_Cancel_Click();

private:
    QRadioButton *Com1, *Com2, *Com3, *Com4;
    QRadioButton *Baud300, *Baud600, *Baud1200, *Baud2400, *Baud4800, *Baud9600, *Baud19200;
    QRadioButton *NoneParity, *OddParity, *EvenParity;
    QRadioButton *Data7bit, *Data8bit;
    QRadioButton *Stop1bit, *Stop2bit;
    QRadioButton *Flowcntlnone, *Flowcntlxonoff, *Flow_rtscts, *Flow_both;
    QPushButton *CommInit_OK, *CommInit_Close, *CommInit_Cancel;
    QCheckBox* CheckAutoReconnect;

    QGroupBox* AddGroup(ChoiceGroup group, const QString& caption,
                        std::initializer_list<std::pair<QRadioButton**, const char*>> options,
                        const QStringList& captions);
    void ShowSelection(const DialogSelection& selection);
    void RecordSelection();

    const SerialPort& port_;
    CommInitChoices& choices_;
    UiServices& services_;
    PortRequests& requests_;
    QButtonGroup* groups_[ChoiceGroupCount] = {};
    bool rebuilding_ = false;
};
