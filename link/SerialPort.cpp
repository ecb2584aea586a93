// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/SerialPort.h"

#include "link/DeviceFiles.h"

namespace {
// A port with no file system of its own never sees a device come back.
class NoDeviceFiles : public DeviceFiles {
public:
    DeviceKind KindOf(const QString&) const override { return DeviceKind::Missing; }
    QString StableNameFor(const QString&) const override { return QString(); }
    QString Target(const QString& path) const override { return path; }
};
}

SerialPort::SerialPort(QObject* parent) : QObject(parent) {}
SerialPort::~SerialPort() = default;

void SerialPort::SetPortNumber(int number)
{
    if (IsOpen() || Opening())
        return;
    portNumber_ = number;
    pathOverride_.clear();
}

const DeviceFiles& SerialPort::Files() const
{
    static const NoDeviceFiles none;
    return none;
}

bool SerialPort::SetSettings(const QString& text)
{
    return PortSettings::Parse(text, &settings_);
}

void SerialPort::SetHandshaking(int mode)
{
    handshaking_ = mode;
}

void SerialPort::SetReceiveThreshold(int threshold)
{
    receiveThreshold_ = threshold;
}

void SerialPort::SetRequestToSend(bool on)
{
    requestToSend_ = on;
    if (IsOpen())
        ApplyRequestToSend(on);
}

Outcome SerialPort::OpenPath(const QString& path)
{
    if (IsOpen() || Opening())
        return Outcome();
    pathOverride_ = path;
    return Open();
}

Outcome SerialPort::Open()
{
    if (IsOpen() || Opening())
        return Outcome();
    backlog_.Reset();
    const Outcome result = OpenDevice();
    if (result.Ok())
        ApplyRequestToSend(requestToSend_);
    return result;
}

void SerialPort::Close()
{
    if (IsOpen() || Opening())
        CloseDevice();
}

void SerialPort::Write(const QByteArray& bytes)
{
    if (!IsOpen() || bytes.isEmpty())
        return;
    switch (backlog_.Admit(PendingBytes(), bytes.size())) {
    case TransmitBacklog::Verdict::Write:
        WriteBytes(bytes);
        break;
    case TransmitBacklog::Verdict::Drop:
        break;
    case TransmitBacklog::Verdict::DropAndReport:
        emit LineEvent(LineEventCode::TxFull);
        break;
    }
}

void SerialPort::NotifyReceived(qint64 waiting)
{
    if (receiveThreshold_ > 0 && waiting >= receiveThreshold_)
        emit LineEvent(LineEventCode::Receive);
}

void SerialPort::ReportDeviceLost(const QString& reason)
{
    if (!IsOpen())
        return;
    const QString device = DeviceName();
    CloseDevice();
    emit DeviceLost(device, reason);
}
