// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The console as an operator has it, minus the modal boxes: the real main
// window over a real serial device, opened through the port dialog.
#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <vector>

#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "console/ProgramState.h"
#include "console/frmMain.h"
#include "platform/CommInit.h"
#include "platform/QtSerialDevice.h"
#include "platform/Services.h"

namespace bench {

// A message box would stop a benchmark for good; its text is kept instead.
class QuietServices : public UiServices {
public:
    QStringList Messages;
    void ShowMessage(QWidget*, const QString&, const QString& text) override { Messages << text; }
    void Beep() override {}
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    bool PrintDialog(QWidget*, QPrinter&) override { return false; }
};

// TARVIO_BENCH_PLOT=1 runs a benchmark with the trend window open beside the
// console, following the latest five minutes, so its cost shows in the same figures.
inline void OpenPlotWhenAsked(frmMain& window)
{
    if (qEnvironmentVariableIntValue("TARVIO_BENCH_PLOT") == 1) {
        window.CmdGraph_Click();
        std::printf("with the trend window open\n");
    }
}

struct Console {
    ProgramState State;
    QuietServices Services;
    QtSerialDevice Port;
    frmMain Window;

    explicit Console(const QString& comOne)
        : Port([comOne](int n) { return n == 1 ? comOne : QStringLiteral("/nonexistent/tarvio-com%1").arg(n); }),
          Window(State, Port, Services)
    {
        Window.show();
        OpenPlotWhenAsked(Window);
    }

    // Opens COM 1 the way the operator does: the port button, then OK; a
    // device server on the network is given its time to answer.
    bool OpenComOne()
    {
        QTimer::singleShot(0, [] {
            if (auto* dialog = qobject_cast<CommInit*>(QApplication::activeModalWidget()))
                FindControl<QPushButton>(*dialog, "CommInit_OK")->click();
        });
        Window.CmdComport_Click();
        QEventLoop wait;
        QObject::connect(&Port, &SerialPort::OpenFinished, &wait, &QEventLoop::quit);
        if (Port.Opening())
            wait.exec();
        return Port.IsOpen();
    }
};

// Offscreen unless the caller chose a platform: the benchmarks need no display.
inline void PreferOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

inline std::vector<int> AllowedCpus()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    std::vector<int> cpus;
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        for (int c = 0; c < CPU_SETSIZE; ++c)
            if (CPU_ISSET(c, &set))
                cpus.push_back(c);
    return cpus;
}

inline bool PinTo(pid_t pid, int cpu)
{
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    return sched_setaffinity(pid, sizeof set, &set) == 0;
}

// Busy loops, one on each given core, that die with this process even if it crashes.
class BusyCores {
public:
    explicit BusyCores(const std::vector<int>& cpus)
    {
        for (int cpu : cpus) {
            const pid_t pid = fork();
            if (pid == 0) {
                prctl(PR_SET_PDEATHSIG, SIGKILL);
                PinTo(0, cpu);
                volatile unsigned long spins = 0;
                for (;;)
                    spins = spins + 1;
            }
            if (pid > 0)
                pids_.push_back(pid);
        }
    }
    ~BusyCores()
    {
        for (pid_t pid : pids_) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    BusyCores(const BusyCores&) = delete;
    BusyCores& operator=(const BusyCores&) = delete;
    size_t Count() const { return pids_.size(); }

private:
    std::vector<pid_t> pids_;
};

} // namespace bench
