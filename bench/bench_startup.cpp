// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// From process start to the window on the screen, watched from outside: the
// real program is started on an X display while this one listens on the root
// window for its main window being mapped and for the first drawing into it
// (the DAMAGE extension). Then, once the program has settled, its resident
// memory. The program under test is not changed to help.
//
//   bench_startup [--runs N] [--settle-ms MS]     (needs DISPLAY: run it under xvfb-run)
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include "BenchSupport.h"

namespace {

struct Run {
    double MappedMs = -1;
    double PaintedMs = -1;
    long ResidentKb = -1;
};

xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

// The process that owns a window, as the toolkit announces it; 0 when unknown.
pid_t WindowPid(xcb_connection_t* c, xcb_window_t window, xcb_atom_t pidAtom)
{
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    pid_t pid = 0;
    if (reply && xcb_get_property_value_length(reply) == 4)
        pid = pid_t(*static_cast<uint32_t*>(xcb_get_property_value(reply)));
    free(reply);
    return pid;
}

pid_t Launch(const char* program)
{
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

void Stop(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        usleep(20000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// Starts the program once and follows its windows until the main one has
// been drawn into, or until timeoutMs.
Run StartOnce(xcb_connection_t* c, const xcb_query_extension_reply_t* damageExt, xcb_atom_t pidAtom,
              int settleMs, int timeoutMs)
{
    Run run;
    // Every new top-level window gets a damage watch before it can be drawn
    // into; only the program's mapped window counts.
    std::vector<xcb_damage_damage_t> damages;
    xcb_window_t mainWindow = XCB_WINDOW_NONE;
    const double t0 = bench::MonotonicSeconds();
    const pid_t pid = Launch(TARVIO_APP_PATH);
    const int fd = xcb_get_file_descriptor(c);
    while (run.PaintedMs < 0 && (bench::MonotonicSeconds() - t0) * 1000 < timeoutMs) {
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 50);
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            const double ms = (bench::MonotonicSeconds() - t0) * 1000;
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                const auto* e = reinterpret_cast<xcb_create_notify_event_t*>(event);
                const xcb_damage_damage_t d = xcb_generate_id(c);
                xcb_damage_create(c, d, e->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                damages.push_back(d);
                xcb_flush(c);
            } else if (type == XCB_MAP_NOTIFY && mainWindow == XCB_WINDOW_NONE) {
                const auto* e = reinterpret_cast<xcb_map_notify_event_t*>(event);
                if (!e->override_redirect && WindowPid(c, e->window, pidAtom) == pid) {
                    mainWindow = e->window;
                    run.MappedMs = ms;
                }
            } else if (type == damageExt->first_event + XCB_DAMAGE_NOTIFY) {
                const auto* e = reinterpret_cast<xcb_damage_notify_event_t*>(event);
                if (e->drawable == mainWindow && run.MappedMs >= 0)
                    run.PaintedMs = ms;
            }
            free(event);
        }
    }
    if (run.PaintedMs >= 0) {
        usleep(useconds_t(settleMs) * 1000);
        run.ResidentKb = bench::ResidentKb(pid);
    }
    Stop(pid);
    for (xcb_damage_damage_t d : damages)
        xcb_damage_destroy(c, d);
    xcb_flush(c);
    // Drain what the closing windows said, so the next run starts clean.
    usleep(100000);
    while (xcb_generic_event_t* event = xcb_poll_for_event(c))
        free(event);
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 10, settleMs = 1000;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--runs" && i + 1 < argc)
            runs = qMax(1, QByteArray(argv[++i]).toInt());
        else if (arg == "--settle-ms" && i + 1 < argc)
            settleMs = qMax(0, QByteArray(argv[++i]).toInt());
        else {
            std::fprintf(stderr, "usage: %s [--runs N] [--settle-ms MS]\n", argv[0]);
            return 2;
        }
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "no X display (run under xvfb-run)\n");
        return 2;
    }
    const xcb_query_extension_reply_t* damageExt = xcb_get_extension_data(c, &xcb_damage_id);
    if (!damageExt || !damageExt->present) {
        std::fprintf(stderr, "the X server has no DAMAGE extension\n");
        return 2;
    }
    free(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
    const xcb_atom_t pidAtom = Atom(c, "_NET_WM_PID");

    std::printf("start-up: %d runs of %s, resident memory read %d ms after the first drawing\n", runs,
                TARVIO_APP_PATH, settleMs);
    std::printf("  run  mapped ms  drawn ms  VmRSS MB\n");
    std::vector<double> mapped, painted, resident;
    int failures = 0;
    for (int i = 1; i <= runs; ++i) {
        const Run run = StartOnce(c, damageExt, pidAtom, settleMs, 10000);
        std::printf("  %3d  %9.1f  %8.1f  %8.1f\n", i, run.MappedMs, run.PaintedMs, run.ResidentKb / 1024.0);
        std::fflush(stdout);
        if (run.PaintedMs < 0 || run.ResidentKb < 0) {
            ++failures;
            continue;
        }
        mapped.push_back(run.MappedMs);
        painted.push_back(run.PaintedMs);
        resident.push_back(run.ResidentKb / 1024.0);
    }
    xcb_disconnect(c);

    bench::Report report(QStringLiteral("startup"));
    report.Note(QStringLiteral("runs"), runs);
    report.Note(QStringLiteral("failedRuns"), failures);
    report.Figure(QStringLiteral("mappedMedianMs"), QStringLiteral("to the window mapped (median)"),
                  bench::Median(mapped), QStringLiteral("ms"), 1);
    report.Target(QStringLiteral("shownMedianMs"), QStringLiteral("to the window drawn (median)"),
                  bench::Median(painted), QStringLiteral("ms"), 100, 1);
    report.Figure(QStringLiteral("shownMinMs"), QStringLiteral("to the window drawn (fastest)"),
                  painted.empty() ? std::nan("") : *std::min_element(painted.begin(), painted.end()),
                  QStringLiteral("ms"), 1);
    report.Figure(QStringLiteral("shownMaxMs"), QStringLiteral("to the window drawn (slowest)"),
                  painted.empty() ? std::nan("") : *std::max_element(painted.begin(), painted.end()),
                  QStringLiteral("ms"), 1);
    report.Target(QStringLiteral("idleResidentMedianMB"), QStringLiteral("VmRSS when idle (median)"),
                  bench::Median(resident), QStringLiteral("MB"), 50, 1);
    report.Print(QStringLiteral("Start-up (%1 runs)").arg(runs));
    return failures == 0 ? 0 : 1;
}
