#pragma once
#include <QByteArray>
#include <QList>
#include <QPrinter>
#include <QStringList>

#include "link/SerialPort.h"
#include "platform/Services.h"

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
    void Drain()
    {
        Pending = 0;
        NotifyBacklog(0);
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

// Answers the modal things by recording them.
class FakeServices : public UiServices {
public:
    QStringList Titles, Messages;
    int Beeps = 0;
    void ShowMessage(QWidget*, const QString& title, const QString& text) override
    {
        Titles << title;
        Messages << text;
    }
    void Beep() override { ++Beeps; }

    // File dialogs answer from these queues (an empty answer is a cancel)
    // and record how they were asked.
    QStringList OpenAnswers, SaveAnswers;
    QStringList DialogTitles, DialogFilters, DialogInitialNames;
    QString OpenFileName(QWidget*, const QString& title, const QString& filter, const QString& initial) override
    {
        Record(title, filter, initial);
        return OpenAnswers.isEmpty() ? QString() : OpenAnswers.takeFirst();
    }
    QString SaveFileName(QWidget*, const QString& title, const QString& filter, const QString& initial) override
    {
        Record(title, filter, initial);
        return SaveAnswers.isEmpty() ? QString() : SaveAnswers.takeFirst();
    }
    // The print dialog: cancelled when PrintToPdf is empty, otherwise the
    // printer is pointed at that PDF file.
    QString PrintToPdf;
    int PrintDialogs = 0;
    bool PrintDialog(QWidget*, QPrinter& printer) override
    {
        ++PrintDialogs;
        if (PrintToPdf.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(PrintToPdf);
        return true;
    }

private:
    void Record(const QString& title, const QString& filter, const QString& initial)
    {
        DialogTitles << title;
        DialogFilters << filter;
        DialogInitialNames << initial;
    }
};
