// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QSocketNotifier>
#include <memory>

// SIGINT and SIGTERM as a Qt signal on the event loop: the handler only
// writes the signal's number into a pipe, whose reading end the loop
// watches, so nothing is done inside the handler and nothing waits.
class SignalPipe : public QObject {
    Q_OBJECT
public:
    explicit SignalPipe(QObject* parent = nullptr);
    ~SignalPipe() override;
    bool Ok() const { return notifier_ != nullptr; }

signals:
    void Received(int signalNumber);

private:
    void Drain();
    std::unique_ptr<QSocketNotifier> notifier_;
};
