#include "link/SerialPort.h"

SerialPort::SerialPort(QObject* parent) : QObject(parent) {}
SerialPort::~SerialPort() = default;

void SerialPort::SetPortNumber(int number)
{
    if (!IsOpen())
        portNumber_ = number;
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

OpenResult SerialPort::Open()
{
    if (IsOpen())
        return OpenResult{OpenError::None, DeviceName(), QString()};
    backlog_.Reset();
    OpenResult result = OpenDevice();
    if (result.Ok())
        ApplyRequestToSend(requestToSend_);
    return result;
}

void SerialPort::Close()
{
    if (IsOpen())
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
