// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Fonts.h"

#include <QStringList>

#include "platform/System.h"

void InstallFontSubstitutions()
{
    const FontFaces faces = SystemFontFaces();
    for (const char* face : {"굴림체", "돋움체", "GulimChe", "DotumChe"})
        QFont::insertSubstitutions(QString::fromUtf8(face), faces.FixedPitch);
    for (const char* face : {"굴림", "돋움", "Gulim", "Dotum"})
        QFont::insertSubstitutions(QString::fromUtf8(face), faces.Proportional);
    if (!faces.Arial.isEmpty())
        QFont::insertSubstitutions(QStringLiteral("Arial"), faces.Arial);
}

QFont GulimFont(double points)
{
    QFont f(QStringLiteral("굴림"));
    f.setPointSizeF(points);
    return f;
}

QFont DotumCheFont(double points)
{
    QFont f(QStringLiteral("돋움체"));
    f.setPointSizeF(points);
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    return f;
}

QFont ArialFont(double points, bool bold)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QFont PrintListingFont()
{
    // Latin from a face whose blank survives copying out of a PDF (the Korean
    // coding face's blank comes back as U+0001); Hangul from the Korean face.
    QFont f;
    f.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("굴림체")});
    f.setPointSizeF(10);
    f.setBold(true);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}
