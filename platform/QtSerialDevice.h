// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QSerialPort>
#include <QTimer>
#include <functional>

#include "link/SerialPort.h"
#include "platform/LineStatusMonitor.h"
#include "platform/NetworkLine.h"
#include "platform/System.h"

// The port over QSerialPort. Settings the device cannot take (a pseudo-terminal
// refuses 7 bits, parity and modem lines) leave it at 8N1 instead of failing
// the open; a device that vanishes is closed at its first fatal error. A
// device named tcp://HOST:PORT or rfc2217://HOST:PORT is a device server's
// line instead (NetworkLine), opened without waiting for it.
class QtSerialDevice : public SerialPort {
    Q_OBJECT
public:
    // resolve turns a port number into a device path (see DeviceBinding).
    explicit QtSerialDevice(std::function<QString(int)> resolve, QObject* parent = nullptr);
    ~QtSerialDevice() override;

    bool IsOpen() const override { return port_.isOpen() || net_.IsOpen(); }
    bool Opening() const override { return net_.Opening(); }
    QByteArray ReadAll() override;
    QString DeviceFor(int number) const override { return resolve_(number); }
    const DeviceFiles& Files() const override { return *files_; }
    QString LineNote() const override { return net_.IsOpen() ? net_.Note() : QString(); }
    // For tests: how long a device server has to answer before the open fails.
    void SetConnectTimeout(int ms) { net_.SetConnectTimeout(ms); }

    // How often the device itself called back with an error since the last
    // open; stays small when a vanished device is closed at once.
    int ErrorCallbackCount() const { return errorCallbacks_; }
    // Bytes written but not yet handed to the device: a program about to
    // exit waits until none are left, or its last command would be lost.
    qint64 BytesWaiting() const { return port_.isOpen() ? port_.bytesToWrite() : net_.BytesToWrite(); }

protected:
    Outcome OpenDevice() override;
    void CloseDevice() override;
    qint64 PendingBytes() const override { return BytesWaiting(); }
    void WriteBytes(const QByteArray& bytes) override;
    void ApplyRequestToSend(bool on) override;

private:
    void ApplyFraming();
    void OnErrorOccurred(QSerialPort::SerialPortError error);

    std::function<QString(int)> resolve_;
    QSerialPort port_;
    LineStatusMonitor monitor_;
    NetworkLine net_;
    std::unique_ptr<DeviceFiles> files_;
    int errorCallbacks_ = 0;
};
