// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtSerialDevice.h"

#include <QCoreApplication>

#include "link/LineEvents.h"

QtSerialDevice::QtSerialDevice(std::function<QString(int)> resolve, QObject* parent)
    : SerialPort(parent), resolve_(std::move(resolve)), monitor_(&port_), files_(MakeSystemDeviceFiles())
{
    connect(&port_, &QSerialPort::readyRead, this, [this] { NotifyReceived(port_.bytesAvailable()); });
    connect(&port_, &QSerialPort::bytesWritten, this, [this] { NotifyBacklog(port_.bytesToWrite()); });
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialDevice::OnErrorOccurred);
    connect(&monitor_, &LineStatusMonitor::LineEvent, this, &SerialPort::LineEvent);
    connect(&net_, &NetworkLine::Opened, this, &SerialPort::OpenFinished);
    connect(&net_, &NetworkLine::Received, this, [this](qint64 waiting) { NotifyReceived(waiting); });
    connect(&net_, &NetworkLine::Drained, this, [this](qint64 pending) { NotifyBacklog(pending); });
    connect(&net_, &NetworkLine::LineEvent, this, &SerialPort::LineEvent);
    connect(&net_, &NetworkLine::Lost, this, [this](const QString& reason) { ReportDeviceLost(reason); });
}

QtSerialDevice::~QtSerialDevice()
{
    monitor_.Stop();
    if (port_.isOpen())
        port_.close();
}

namespace {
OpenError Classify(QSerialPort::SerialPortError error, const QString& detail, bool present)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return OpenError::NotFound;
    case QSerialPort::PermissionError:
        return PermissionErrorKind(detail);
    case QSerialPort::OpenError:
        return OpenError::Busy;
    default:
        return present ? OpenError::Other : OpenError::NotFound;
    }
}
}

Outcome QtSerialDevice::OpenDevice()
{
    const QString path = DeviceName();
    errorCallbacks_ = 0;
    const NetworkAddress address = ParseNetworkAddress(path);
    if (address.Kind != NetworkKind::None) {
        if (!address.Valid())
            return ConnectFailure(ConnectError::BadAddress, path, QString(), QString());
        const PortSettings s = Framing();
        return net_.Open(path, address, ComPortLine{quint32(s.Baud), s.DataBits, char(s.Parity.toLatin1()), s.StopBits, Handshaking()});
    }
    port_.setPortName(path);
    if (!port_.open(QIODevice::ReadWrite)) {
        const QString detail = port_.errorString();
        const OpenError kind = Classify(port_.error(), detail, files_->KindOf(path) != DeviceKind::Missing);
        port_.clearError();
        return OpenFailure(kind, path, detail);
    }
    ApplyFraming();
    // A reply nobody read before the last close is not an answer to anything now.
    port_.clear(QSerialPort::Input);
    port_.clearError();
    monitor_.Start();
    return Outcome();
}

void QtSerialDevice::ApplyFraming()
{
    // Each setter may fail on a device that cannot do it; the line then keeps
    // what it had, which on a pseudo-terminal is 8N1 at any rate.
    const PortSettings s = Framing();
    port_.setBaudRate(s.Baud);
    port_.setDataBits(s.DataBits == 7 ? QSerialPort::Data7 : s.DataBits == 6 ? QSerialPort::Data6
                      : s.DataBits == 5 ? QSerialPort::Data5 : QSerialPort::Data8);
    port_.setParity(s.Parity == QLatin1Char('O') ? QSerialPort::OddParity
                    : s.Parity == QLatin1Char('E') ? QSerialPort::EvenParity : QSerialPort::NoParity);
    port_.setStopBits(s.StopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    switch (Handshaking()) {
    case Handshake::None: port_.setFlowControl(QSerialPort::NoFlowControl); break;
    case Handshake::XonXoff: port_.setFlowControl(QSerialPort::SoftwareControl); break;
    default: port_.setFlowControl(QSerialPort::HardwareControl); break;
    }
}

void QtSerialDevice::CloseDevice()
{
    net_.Close();
    monitor_.Stop();
    port_.close();
    port_.clearError();
}

QByteArray QtSerialDevice::ReadAll()
{
    return port_.isOpen() ? port_.readAll() : net_.ReadAll();
}

void QtSerialDevice::WriteBytes(const QByteArray& bytes)
{
    if (port_.isOpen())
        port_.write(bytes);
    else
        net_.Write(bytes);
}

void QtSerialDevice::ApplyRequestToSend(bool on)
{
    // As on a local port: with hardware flow control the device server's driver owns RTS.
    if (!port_.isOpen()) {
        if (Handshaking() != Handshake::RtsCts && Handshaking() != Handshake::RtsXonXoff)
            net_.SetRequestToSend(on);
        return;
    }
    // With hardware flow control the driver owns RTS, and a pty has no modem lines.
    if (port_.isOpen() && port_.flowControl() != QSerialPort::HardwareControl)
        port_.setRequestToSend(on);
    port_.clearError();
}

void QtSerialDevice::OnErrorOccurred(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError)
        return;
    ++errorCallbacks_;
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError: {
        // The last system error says little to an operator when the device is
        // simply gone (a pulled adapter, a closed pseudo-terminal).
        const QString detail = port_.errorString();
        if (files_->KindOf(DeviceName()) != DeviceKind::Device)
            ReportDeviceLost(QCoreApplication::translate("QtSerialDevice", "장치가 사라졌습니다"));
        else
            ReportDeviceLost(detail.isEmpty() ? QCoreApplication::translate("QtSerialDevice", "장치 오류") : QCoreApplication::translate("QtSerialDevice", "장치 오류: ") + detail);
        break;
    }
    default:
        // Unsupported settings and modem-line ioctls on a pty are not fatal.
        break;
    }
}
