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
    monitor_.Stop();
    port_.close();
    port_.clearError();
}

QByteArray QtSerialDevice::ReadAll()
{
    return port_.isOpen() ? port_.readAll() : QByteArray();
}

void QtSerialDevice::WriteBytes(const QByteArray& bytes)
{
    port_.write(bytes);
}

void QtSerialDevice::ApplyRequestToSend(bool on)
{
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
