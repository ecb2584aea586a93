// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/SignalPipe.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
// The one pipe of the process: a signal handler can reach no object.
int PipeEnds[2] = {-1, -1};

void OnSignal(int number)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    // A full pipe already holds a signal the loop has not read; this one adds nothing.
    [[maybe_unused]] const ssize_t written = ::write(PipeEnds[1], &byte, 1);
    errno = saved;
}
}

SignalPipe::SignalPipe(QObject* parent) : QObject(parent)
{
    if (::pipe2(PipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGINT, SIGTERM})
        ::sigaction(number, &action, nullptr);
    auto notifier = std::make_unique<QSocketNotifier>(PipeEnds[0], QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, &SignalPipe::Drain);
    watcher_ = std::move(notifier);
}

SignalPipe::~SignalPipe()
{
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    for (int number : {SIGINT, SIGTERM})
        ::sigaction(number, &action, nullptr);
    watcher_.reset();
    for (int& end : PipeEnds) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

void SignalPipe::Drain()
{
    unsigned char byte = 0;
    while (::read(PipeEnds[0], &byte, 1) == 1)
        emit Received(byte);
}
