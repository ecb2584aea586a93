// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>

#include "core/Outcome.h"
#include "link/PortSettings.h"
#include "link/TransmitBacklog.h"

// Codes carried by SerialPort::LineEvent; the handler tests these numbers.
namespace LineEventCode {
constexpr int Send = 1;
constexpr int Receive = 2;
constexpr int CtsChange = 3;
constexpr int DsrChange = 4;
constexpr int CdChange = 5;
constexpr int Ring = 6;
constexpr int Eof = 7;
constexpr int Break = 1001;
constexpr int CtsTimeout = 1002;
constexpr int DsrTimeout = 1003;
constexpr int Frame = 1004;
constexpr int Overrun = 1006;
constexpr int CdTimeout = 1007;
constexpr int RxOver = 1008;
constexpr int RxParity = 1009;
constexpr int TxFull = 1010;
constexpr int Dcb = 1011;
}

// The program's one serial port. It keeps the configuration the rest of the
// program reads back, bounds the transmit backlog and drops writes to a closed
// port; a concrete device (QSerialPort, or a fake in tests) moves the bytes.
// Every signal is emitted on the GUI thread.
class DeviceFiles;

class SerialPort : public QObject {
    Q_OBJECT
public:
    explicit SerialPort(QObject* parent = nullptr);
    ~SerialPort() override;

    int PortNumber() const { return portNumber_; }
    void SetPortNumber(int number);           // ignored while open or opening
    QString Settings() const { return settings_.ToText(); }
    bool SetSettings(const QString& text);    // false when the text is not understood
    PortSettings Framing() const { return settings_; }
    int Handshaking() const { return handshaking_; }
    void SetHandshaking(int mode);
    int ReceiveThreshold() const { return receiveThreshold_; }
    void SetReceiveThreshold(int threshold);
    bool RequestToSend() const { return requestToSend_; }
    void SetRequestToSend(bool on);

    virtual bool IsOpen() const = 0;
    // A device that takes time to reach (a device server on the network) is
    // neither open nor closed for a while: Open() succeeds with the port still
    // closed, and OpenFinished tells how it ended. Close() abandons it.
    virtual bool Opening() const { return false; }
    // A failure names the device and says in the operator's words what to do;
    // its detail is the system's own words.
    Outcome Open();
    // Opens on path instead of the port number's device: a device that came
    // back under its stable name. Setting the port number undoes it.
    Outcome OpenPath(const QString& path);
    void Close();
    // Text crosses as single bytes; writes to a closed port vanish, and a
    // write that would overfill the backlog is dropped and reported as 1010.
    void Write(const QByteArray& bytes);
    virtual QByteArray ReadAll() = 0;
    // What our side has written that has not yet left for the line.
    qint64 BytesToWrite() const { return IsOpen() ? PendingBytes() : 0; }
    // The device that a port number stands for, and the one in use now.
    virtual QString DeviceFor(int number) const = 0;
    QString DeviceName() const { return pathOverride_.isEmpty() ? DeviceFor(portNumber_) : pathOverride_; }
    // The file system the devices live in, as the reconnection watch reads it.
    virtual const DeviceFiles& Files() const;
    // Once open: what the operator should know of the line, such as settings
    // that stop short of it; empty when there is nothing to say.
    virtual QString LineNote() const { return QString(); }

signals:
    void LineEvent(int code);
    // The device went away while open; the port is already closed.
    void DeviceLost(const QString& device, const QString& reason);
    // An open that had to wait has ended: the port is open, or it is closed
    // and the outcome says why, as Open() would have said it.
    void OpenFinished(const Outcome& outcome);

protected:
    virtual Outcome OpenDevice() = 0;
    virtual void CloseDevice() = 0;
    virtual qint64 PendingBytes() const = 0;
    virtual void WriteBytes(const QByteArray& bytes) = 0;
    virtual void ApplyRequestToSend(bool /*on*/) {}

    // For implementations: call when characters arrive and when the backlog shrinks.
    void NotifyReceived(qint64 waiting);
    void NotifyBacklog(qint64 pending) { backlog_.Drained(pending); }
    // Closes at the first fatal error and reports once, however often the device repeats it.
    void ReportDeviceLost(const QString& reason);

private:
    int portNumber_ = 1;
    QString pathOverride_;
    PortSettings settings_;
    int handshaking_ = Handshake::RtsCts;
    int receiveThreshold_ = 0;
    bool requestToSend_ = false;
    TransmitBacklog backlog_;
};
