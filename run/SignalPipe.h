// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <memory>

// SIGINT and SIGTERM as a Qt signal on the event loop: the handler only
// writes the signal's number into a pipe, whose reading end the loop
// watches, so nothing is done inside the handler and nothing waits. On
// Windows, Ctrl+C is SIGINT and Ctrl+Break or a closed console SIGTERM; the
// system's handler thread only sets an event the loop watches.
class SignalPipe : public QObject {
    Q_OBJECT
public:
    explicit SignalPipe(QObject* parent = nullptr);
    ~SignalPipe() override;
    bool Ok() const { return watcher_ != nullptr; }

signals:
    void Received(int signalNumber);

private:
    void Drain();
    // What the loop watches: the pipe's reading end, or the Windows event.
    std::unique_ptr<QObject> watcher_;
};
