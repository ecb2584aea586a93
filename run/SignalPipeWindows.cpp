// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/SignalPipe.h"

#include <QWinEventNotifier>
#include <atomic>
#include <csignal>
#include <windows.h>

namespace {
// The system calls the handler on a thread of its own: it may touch no
// object, only these and the event.
HANDLE Arrived = nullptr;
std::atomic<int> Pending{0};

BOOL WINAPI OnConsoleEvent(DWORD kind)
{
    switch (kind) {
    case CTRL_C_EVENT:
        Pending.store(SIGINT);
        break;
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        Pending.store(SIGTERM);
        break;
    default:
        return FALSE;
    }
    ::SetEvent(Arrived);
    // Windows ends the process as soon as the handler returns from a close,
    // logoff or shutdown, which would cut short the stop (--off-on-stop).
    // The program's own exit ends this thread; the system's limit is 5 s.
    if (kind != CTRL_C_EVENT && kind != CTRL_BREAK_EVENT)
        ::Sleep(5000);
    return TRUE;
}
}

SignalPipe::SignalPipe(QObject* parent) : QObject(parent)
{
    Arrived = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!Arrived)
        return;
    if (!::SetConsoleCtrlHandler(OnConsoleEvent, TRUE)) {
        ::CloseHandle(Arrived);
        Arrived = nullptr;
        return;
    }
    auto notifier = std::make_unique<QWinEventNotifier>(Arrived);
    connect(notifier.get(), &QWinEventNotifier::activated, this, &SignalPipe::Drain);
    watcher_ = std::move(notifier);
}

SignalPipe::~SignalPipe()
{
    ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    watcher_.reset();
    if (Arrived)
        ::CloseHandle(Arrived);
    Arrived = nullptr;
}

void SignalPipe::Drain()
{
    if (const int number = Pending.exchange(0))
        emit Received(number);
}
