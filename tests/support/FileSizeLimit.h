// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QtGlobal>

#include <csignal>
#ifndef Q_OS_WIN
#include <sys/resource.h>
#endif

// Fails every write past a few bytes, as a full disk would, for root too,
// while it lives. Linux has a file size limit for this; Windows has none,
// and there its tests go without the full-disk case.
class FileSizeLimit {
public:
#ifndef Q_OS_WIN
    static constexpr bool Supported = true;
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit small = saved_;
        small.rlim_cur = bytes;
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
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
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
#else
    static constexpr bool Supported = false;
    explicit FileSizeLimit(long long) {}
    bool Ok() const { return false; }
#endif
};
