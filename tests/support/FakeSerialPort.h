// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QList>

#include <QMap>

#include "link/DeviceFiles.h"
#include "link/LineEvents.h"
#include "link/SerialPort.h"

// Device files as a test lays them out: kinds by real path, links by name.
class FakeDeviceFiles : public DeviceFiles {
public:
    QMap<QString, DeviceKind> Kinds;   // a path not listed is missing
    QMap<QString, QString> Links;      // link -> where it points
    QString ByIdFolder = QStringLiteral("/dev/serial/by-id/");

    DeviceKind KindOf(const QString& path) const override { return Kinds.value(Target(path), DeviceKind::Missing); }
    QString Target(const QString& path) const override
    {
        QString p = path;
        for (int hops = 0; hops < 8 && Links.contains(p); ++hops)
            p = Links.value(p);
        return p;
    }
    QString StableNameFor(const QString& device) const override
    {
        if (KindOf(device) != DeviceKind::Device)
            return QString();
        for (auto it = Links.begin(); it != Links.end(); ++it)
            if (it.key().startsWith(ByIdFolder) && Target(it.key()) == Target(device))
                return it.key();
        return QString();
    }
};

// An in-memory port: records every write, lets a test inject received bytes,
// line events, a failing open, a growing backlog or a vanishing device.
class FakeSerialPort : public SerialPort {
public:
    QList<QByteArray> Writes;
    QByteArray Waiting;
    qint64 Pending = 0;
    bool BacklogGrows = false;   // writes stay pending until Drain()
    Outcome NextOpen;   // what the next opens give
    int Opens = 0;

    bool IsOpen() const override { return open_; }
    QByteArray ReadAll() override
    {
        QByteArray all = Waiting;
        Waiting.clear();
        return all;
    }
    QString Device;   // what COM 1 stands for, when set
    QString DeviceFor(int number) const override
    {
        return number == 1 && !Device.isEmpty() ? Device : QStringLiteral("/dev/fake%1").arg(number);
    }
    FakeDeviceFiles DeviceFiles;
    const ::DeviceFiles& Files() const override { return DeviceFiles; }
    QByteArray Written() const
    {
        QByteArray all;
        for (const QByteArray& w : Writes)
            all += w;
        return all;
    }

    void Receive(const QByteArray& bytes)
    {
        Waiting += bytes;
        NotifyReceived(Waiting.size());
    }
    void Vanish(const QString& reason) { ReportDeviceLost(reason); }
    // The device reports that its backlog went down to `left` bytes.
    void Drain(qint64 left = 0)
    {
        Pending = left;
        NotifyBacklog(left);
    }

protected:
    Outcome OpenDevice() override
    {
        ++Opens;
        open_ = NextOpen.Ok();
        return NextOpen;
    }
    void CloseDevice() override { open_ = false; }
    qint64 PendingBytes() const override { return Pending; }
    void WriteBytes(const QByteArray& bytes) override
    {
        Writes << bytes;
        if (BacklogGrows)
            Pending += bytes.size();
    }

private:
    bool open_ = false;
};
