// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// How something the console tried went: done, or failed with the operator's
// words for it (a whole sentence, ready for a message box or the panel) and,
// where it helps, the system's own words apart. A failure that repeats itself
// (a full disk at every log tick, a device that stays busy) is news only the
// first time; the rest carry AlreadyTold, so nobody is told twice.
class Outcome {
public:
    Outcome() = default;   // done
    static Outcome Failed(const QString& message, const QString& detail = QString())
    {
        Outcome o;
        o.failed_ = true;
        o.message_ = message;
        o.detail_ = detail;
        return o;
    }
    // The same failure again, for someone who has said it already.
    Outcome AlreadyTold() const
    {
        Outcome o = *this;
        o.told_ = failed_;
        return o;
    }

    bool Ok() const { return !failed_; }
    // A failure the operator has not been told of yet.
    bool Tell() const { return failed_ && !told_; }
    const QString& Message() const { return message_; }
    const QString& Detail() const { return detail_; }

private:
    bool failed_ = false;
    bool told_ = false;
    QString message_, detail_;
};
