// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "pattern/PatternState.h"
#include "pattern/RunSession.h"
#include "pattern/frmPattern.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"
#include "support/Fakes.h"

// The console's session as a measured run sees it: the test hands replies to
// the tap; readings and panel lines are recorded.
struct FakeRunSession : RunSession {
    std::function<bool(const QString&)> Tap;
    QStringList Readings, Told;
    QString Folder;
    bool NewModelSelected() const override { return true; }
    void TapReplies(std::function<bool(const QString&)> tap) override { Tap = std::move(tap); }
    void Measured(int n, bool current, const QString& text) override { Readings << QStringLiteral("P%1 %2 ").arg(n).arg(current ? 'A' : 'V') + text; }
    void Tell(const QString& line) override { Told << line; }
    QString ReportFolder() override { return Folder; }
    bool Reply(const QString& line) { return Tap && Tap(line); }
};

// The pattern window on an open fake port and fake services, shown and
// active (focus moves are part of what is tested), with a folder for files.
// With a session it has its measuring controls, and reports go to the folder.
struct PatternWindow {
    PatternState state;
    FakeSerialPort port;
    FakeServices services;
    QTemporaryDir dir;
    FakeRunSession session;
    frmPattern* w;

    explicit PatternWindow(bool single = false, bool measuring = false)
        : w(new frmPattern(state, port, services, single, measuring ? &session : nullptr))
    {
        session.Folder = dir.path();
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        port.Open();
        QApplication::setActiveWindow(w);
        (void)QTest::qWaitForWindowActive(w);
    }
    ~PatternWindow() { delete w; }

    // Puts the steps in the table from row 1 behind the preview's back.
    void Steps(const QList<PatternStep>& steps)
    {
        for (int i = 0; i < steps.size(); ++i)
            w->Table().SetStep(i + 1, steps.at(i));
        w->ShowTable();
    }
    QTableView* GridView() const { return FindControl<QTableView>(*w, "MSFlexGrid1"); }
    QModelIndex Cell(int row, int column) const { return GridView()->model()->index(row - 1, column - 1); }
    QString Grid(int row, int column) const { return Cell(row, column).data().toString(); }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};
