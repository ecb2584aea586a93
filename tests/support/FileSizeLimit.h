// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QtGlobal>

#ifndef Q_OS_WIN
#include <csignal>
#include <sys/resource.h>

// Fails every write past a few bytes while it lives, as a full disk would,
// for root too. Windows has no file size limit, and its tests go without.
class FileSizeLimit {
public:
    static constexpr bool Supported = true;
    explicit FileSizeLimit(rlim_t bytes) : oldHandler_(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit small = saved_;
        small.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool Ok() const { return ok_; }

private:
    rlimit saved_{};
    void (*oldHandler_)(int);
    bool ok_ = false;
};
#else
struct FileSizeLimit {
    static constexpr bool Supported = false;
    explicit FileSizeLimit(long long) {}
    bool Ok() const { return false; }
};
#endif
