// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the pattern window's controls (the step table on the left; editing,
// entry, repeat, preview, file and run controls on the right) and wires their handlers.
#include "pattern/frmPattern.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include "link/SerialPort.h"
#include "pattern/PreviewGeometry.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/PictureBox.h"

namespace {
// 1440 units to the inch, 96 pixels to the inch.
int Pixels(int units)
{
    return units * 96 / 1440;
}

QLineEdit* GreyField(const char* name)
{
    auto* field = Named(new QLineEdit, name);
    field->setReadOnly(true);
    QPalette p = field->palette();
    p.setColor(QPalette::Base, QColor(192, 192, 192));
    field->setPalette(p);
    return field;
}

UpDown* Spinner(const char* name, int value, int minimum, int maximum)
{
    auto* s = Named(new UpDown, name);
    s->SetRange(minimum, maximum);
    s->SetIncrement(1);
    s->SetValue(value);
    return s;
}
}

void frmPattern::BuildControls()
{
    setWindowTitle(tr(" 출력 패턴 만들기"));
    setFont(GulimFont(9));

    MSFlexGrid1 = Named(new QTableView, "MSFlexGrid1");
    MSFlexGrid1->setModel(&grid_);
    MSFlexGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MSFlexGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    MSFlexGrid1->setAccessibleDescription(tr("패턴 표 (시간, 전압, 전류)"));
    // The header row and the step numbers are the grid's own headers, so they
    // stay in view while the table scrolls.
    MSFlexGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    MSFlexGrid1->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    MSFlexGrid1->verticalHeader()->setFixedWidth(Pixels(500));
    MSFlexGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    MSFlexGrid1->verticalHeader()->setDefaultSectionSize(20);
    for (int column = 0; column < 3; ++column)
        MSFlexGrid1->setColumnWidth(column, Pixels(1250));
    MSFlexGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    MSFlexGrid1->setFixedWidth(Pixels(500) + 3 * Pixels(1250) + 24);

    // Editing.
    auto* editing = Named(new QGroupBox(tr("패턴 편집")), "FrameEdit");
    CmdEdit = Named(new QPushButton(tr("라인 편집")), "CmdEdit");
    CmdInsert = Named(new QPushButton(tr("라인 삽입")), "CmdInsert");
    CmdDelete = Named(new QPushButton(tr("라인 삭제")), "CmdDelete");
    CmdNewFile = Named(new QPushButton(tr("새로 작성하기")), "CmdNewFile");
    for (QPushButton* b : {CmdInsert, CmdDelete})
        b->setAutoFillBackground(true);
    auto* editRow = new QHBoxLayout(editing);
    for (QPushButton* b : {CmdEdit, CmdInsert, CmdDelete, CmdNewFile})
        editRow->addWidget(b);

    // The current step and its values.
    auto* step = Named(new QGroupBox(tr("스텝 입력")), "FrameStep");
    TextNo = GreyField("TextNo");
    TextNo->setText(QStringLiteral("1"));
    TextNo->setAccessibleDescription(tr("현재 스텝 번호"));
    UpDownNo = Spinner("UpDownNo", 1, 1, MaxPatternSteps);
    TextTime = Named(new QLineEdit, "TextTime");
    TextVoltage = Named(new QLineEdit, "TextVoltage");
    TextCurrent = Named(new QLineEdit, "TextCurrent");
    TextTime->setAccessibleDescription(tr("스텝 시간 (초)"));
    TextVoltage->setAccessibleDescription(tr("스텝 전압 (V)"));
    TextCurrent->setAccessibleDescription(tr("스텝 전류 (A)"));
    auto* stepGrid = new QGridLayout(step);
    stepGrid->addWidget(new QLabel(tr("번호 :")), 0, 0);
    stepGrid->addWidget(TextNo, 0, 1);
    stepGrid->addWidget(UpDownNo, 0, 2);
    const std::pair<QLineEdit*, const char*> entries[]{{TextTime, QT_TR_NOOP("초")}, {TextVoltage, "V"}, {TextCurrent, "A"}};
    const char* captions[]{QT_TR_NOOP("시간 :"), QT_TR_NOOP("전압 :"), QT_TR_NOOP("전류 :")};
    for (int i = 0; i < 3; ++i) {
        stepGrid->addWidget(new QLabel(tr(captions[i])), i + 1, 0);
        stepGrid->addWidget(entries[i].first, i + 1, 1);
        stepGrid->addWidget(new QLabel(tr(entries[i].second)), i + 1, 2);
    }

    // Repetitions.
    auto* repeat = Named(new QGroupBox(tr("반복")), "FrameRepeat");
    TextReDo = Named(new QLineEdit(QStringLiteral("0")), "TextReDo");
    TextReDo->setAccessibleDescription(tr("반복 횟수 (0: 연속)"));
    UpDownReDo = Spinner("UpDownReDo", 0, 0, 100);
    LabelRedo = Named(new QLabel(QStringLiteral("0")), "LabelRedo");
    LabelRedo->setAccessibleDescription(tr("완료한 반복 횟수"));
    LabelRedo->setMinimumWidth(48);
    auto* repeatRow = new QHBoxLayout(repeat);
    repeatRow->addWidget(new QLabel(tr("반복 :")));
    repeatRow->addWidget(TextReDo);
    repeatRow->addWidget(UpDownReDo);
    repeatRow->addSpacing(16);
    repeatRow->addWidget(Named(new QLabel(tr("진행 :")), "Label7"));
    repeatRow->addWidget(LabelRedo);
    repeatRow->addStretch();

    // Preview with its scales, and the progress strip under it.
    FrameAboutPattern = Named(new QGroupBox(tr(" 패턴 미리 보기 ")), "FrameAboutPattern");
    OptionCV = Named(new QRadioButton(QStringLiteral("CV")), "OptionCV");
    OptionCC = Named(new QRadioButton(QStringLiteral("CC")), "OptionCC");
    OptionCV->setChecked(true);
    TextMaxVoltage = GreyField("TextMaxVoltage");
    TextMaxCurrent = GreyField("TextMaxCurrent");
    TextMaxVoltage->setText(QStringLiteral("30.000"));
    TextMaxCurrent->setText(QStringLiteral("5.000"));
    UpDownMaxVoltage = Spinner("UpDownMaxVoltage", 30, 1, 120);
    UpDownMaxCurrent = Spinner("UpDownMaxCurrent", 5, 1, 10);
    PicturePreview = Named(new PictureBox(PreviewWidth, PreviewHeight), "PicturePreview");
    PicturePreview->setAccessibleDescription(tr("패턴 미리 보기 그래프"));
    PicturePreview->setMinimumSize(400, 200);
    PictureProgressBar = Named(new PictureBox(PreviewWidth, 140), "PictureProgressBar");
    PictureProgressBar->setAccessibleDescription(tr("패턴 진행 표시"));
    PictureProgressBar->setFixedHeight(18);
    auto* scales = new QGridLayout;
    scales->addWidget(OptionCV, 0, 0);
    scales->addWidget(new QLabel(tr("최대 전압 : ")), 0, 1);
    scales->addWidget(TextMaxVoltage, 0, 2);
    scales->addWidget(UpDownMaxVoltage, 0, 3);
    scales->addWidget(new QLabel(QStringLiteral("V")), 0, 4);
    scales->addWidget(OptionCC, 1, 0);
    scales->addWidget(new QLabel(tr("최대 전류 : ")), 1, 1);
    scales->addWidget(TextMaxCurrent, 1, 2);
    scales->addWidget(UpDownMaxCurrent, 1, 3);
    scales->addWidget(new QLabel(QStringLiteral("A")), 1, 4);
    scales->setColumnStretch(5, 1);
    // In the room the scales leave; it takes no size of its own, so nothing moves when it speaks.
    LabelRefused = Named(new QLabel, "LabelRefused");
    LabelRefused->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    LabelRefused->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    scales->addWidget(LabelRefused, 0, 5, 2, 1);
    auto* previewBox = new QVBoxLayout(FrameAboutPattern);
    previewBox->addLayout(scales);
    previewBox->addWidget(PicturePreview, 1);
    previewBox->addWidget(PictureProgressBar);

    // Files, printing and running.
    CmdFileOpen = Named(new QPushButton(tr("불러오기")), "CmdFileOpen");
    CmdFileSave = Named(new QPushButton(tr("저장하기")), "CmdFileSave");
    CmdPrint = Named(new QPushButton(tr("인쇄하기")), "CmdPrint");
    CmdRunP1 = Named(new QPushButton(tr("P1 실행하기")), "CmdRunP1");
    CmdRunP2 = Named(new QPushButton(tr("P2 실행하기")), "CmdRunP2");
    auto* actions = new QHBoxLayout;
    for (QPushButton* b : {CmdFileOpen, CmdFileSave, CmdPrint})
        actions->addWidget(b);
    actions->addStretch();
    for (QPushButton* b : {CmdRunP1, CmdRunP2}) {
        b->setMinimumWidth(110);
        actions->addWidget(b);
    }

    // The table on the left; on the right the entry controls over the preview and the actions.
    auto* columns = new QHBoxLayout(this);
    columns->addWidget(MSFlexGrid1);
    auto* right = new QVBoxLayout;
    columns->addLayout(right, 1);
    // Measuring takes a column of its own, so that nothing else moves for it.
    if (session_) {
        BuildMeasureControls();
        columns->addWidget(FrameMeasure);
    }
    auto* rightTop = new QVBoxLayout;
    right->addLayout(rightTop);
    right->addWidget(FrameAboutPattern, 1);
    right->addLayout(actions);
    rightTop->addWidget(editing);
    auto* entry = new QHBoxLayout;
    entry->addWidget(step, 1);
    rightTop->addLayout(entry);
    rightTop->addWidget(repeat);
}

void frmPattern::ConnectHandlers()
{
    connect(&port_, &SerialPort::DeviceLost, this, &frmPattern::PortLost);
    connect(CmdEdit, &QPushButton::clicked, this, &frmPattern::CmdEdit_Click);
    connect(CmdInsert, &QPushButton::clicked, this, &frmPattern::CmdInsert_Click);
    connect(CmdDelete, &QPushButton::clicked, this, &frmPattern::CmdDelete_Click);
    connect(CmdNewFile, &QPushButton::clicked, this, &frmPattern::CmdNewFile_Click);
    connect(MSFlexGrid1, &QTableView::pressed, this,
            [this](const QModelIndex& cell) { MSFlexGrid1_MouseDown(cell.row() + 1, cell.column() + 1); });
    connect(MSFlexGrid1->verticalHeader(), &QHeaderView::sectionPressed, this,
            [this](int row) { MSFlexGrid1_MouseDown(row + 1, 0); });
    connect(MSFlexGrid1->horizontalHeader(), &QHeaderView::sectionPressed, this,
            [this](int column) { MSFlexGrid1_MouseDown(0, column + 1); });
    connect(UpDownNo, &UpDown::Change, this, &frmPattern::UpDownNo_Change);
    connect(UpDownReDo, &UpDown::Change, this, &frmPattern::UpDownReDo_Change);
    connect(UpDownMaxVoltage, &UpDown::Change, this, &frmPattern::UpDownMaxVoltage_Change);
    connect(UpDownMaxCurrent, &UpDown::Change, this, &frmPattern::UpDownMaxCurrent_Change);
    connect(TextTime, &QLineEdit::returnPressed, this, &frmPattern::TextTime_KeyPress);
    connect(TextVoltage, &QLineEdit::returnPressed, this, &frmPattern::TextVoltage_KeyPress);
    connect(TextCurrent, &QLineEdit::returnPressed, this, &frmPattern::TextCurrent_KeyPress);
    connect(TextReDo, &QLineEdit::returnPressed, this, &frmPattern::TextReDo_KeyPress);
    connect(CmdRunP1, &QPushButton::clicked, this, &frmPattern::CmdRunP1_Click);
    connect(CmdRunP2, &QPushButton::clicked, this, &frmPattern::CmdRunP2_Click);
    connect(&Timer4, &QTimer::timeout, this, &frmPattern::Timer4_Timer);
    connect(CmdFileSave, &QPushButton::clicked, this, &frmPattern::CmdFileSave_Click);
    connect(CmdFileOpen, &QPushButton::clicked, this, &frmPattern::CmdFileOpen_Click);
    connect(CmdPrint, &QPushButton::clicked, this, &frmPattern::CmdPrint_Click);
    // Option handlers follow the selection itself, however it was made.
    connect(OptionCV, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            OptionCV_Click();
    });
    connect(OptionCC, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            OptionCC_Click();
    });
}
