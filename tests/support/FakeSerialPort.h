#pragma once
#include <QByteArray>
#include <QList>

#include "link/SerialPort.h"

// An in-memory port: records every write, lets a test inject received bytes,
// line events, a failing open, a growing backlog or a vanishing device.
class FakeSerialPort : public SerialPort {
public:
    QList<QByteArray> Writes;
    QByteArray Waiting;
    qint64 Pending = 0;
    bool BacklogGrows = false;   // writes stay pending until Drain()
    OpenResult NextOpen;
    int Opens = 0;

    bool IsOpen() const override { return open_; }
    QByteArray ReadAll() override
    {
        QByteArray all = Waiting;
        Waiting.clear();
        return all;
    }
    QString DeviceFor(int number) const override { return QStringLiteral("/dev/fake%1").arg(number); }
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
    OpenResult OpenDevice() override
    {
        ++Opens;
        OpenResult r = NextOpen;
        r.Device = DeviceName();
        open_ = r.Ok();
        return r;
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
