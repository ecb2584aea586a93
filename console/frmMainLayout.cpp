// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the console's controls and places them in the window's two columns.
#include "console/frmMain.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "console/CommandTable.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"

namespace {
const QColor Teal(0, 128, 128);

void Colour(QWidget* w, const QColor& text, const QColor& base)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::Window, base);
    p.setColor(QPalette::Disabled, QPalette::Text, text);
    p.setColor(QPalette::Disabled, QPalette::Base, base);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}
}

QLabel* frmMain::MakeReadout(const char* name, const QString& description, bool measured)
{
    auto* label = Named(new QLabel(QStringLiteral("00.000")), name);
    label->setFont(ArialFont(15.75, true));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(120);
    label->setAccessibleDescription(description);
    if (measured) {
        Colour(label, QColor(0, 255, 0), Qt::black);
        label->setFrameShape(QFrame::Box);
        label->setLineWidth(1);
    }
    return label;
}

QList<QWidget*> frmMain::P2Controls() const
{
    return {LabelP2,          LabelP2V,         LabelP2A,         Label_P2_Voltage,
            Label_P2_Current, Label_P2_Set_Voltage, Label_P2_Set_Current};
}

void frmMain::BuildControls()
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(tr(" 통신 시험용 프로그램 (RS-232C)"));
    setFont(GulimFont(9));
    auto* central = new QWidget(this);
    setCentralWidget(central);

    // Left column: readouts above the message panel, the reference panel below.
    auto* display = Named(new QGroupBox(central), "FrameDisplay");
    auto* readouts = new QGridLayout;
    LabelP1 = Named(new QLabel(QStringLiteral("P1")), "LabelP1");
    LabelP2 = Named(new QLabel(QStringLiteral("P2")), "LabelP2");
    for (QLabel* l : {LabelP1, LabelP2})
        l->setFont(ArialFont(18, true));
    LabelP1V = Named(new QLabel(QStringLiteral("V")), "LabelP1V");
    LabelP1A = Named(new QLabel(QStringLiteral("A")), "LabelP1A");
    LabelP2V = Named(new QLabel(QStringLiteral("V")), "LabelP2V");
    LabelP2A = Named(new QLabel(QStringLiteral("A")), "LabelP2A");
    for (QLabel* l : {LabelP1V, LabelP1A, LabelP2V, LabelP2A})
        l->setFont(ArialFont(12, true));
    Label_P1_Voltage = MakeReadout("Label_P1_Voltage", tr("P1 측정 전압"), true);
    Label_P1_Current = MakeReadout("Label_P1_Current", tr("P1 측정 전류"), true);
    Label_P1_Set_Voltage = MakeReadout("Label_P1_Set_Voltage", tr("P1 설정 전압"), false);
    Label_P1_Set_Current = MakeReadout("Label_P1_Set_Current", tr("P1 설정 전류"), false);
    Label_P2_Voltage = MakeReadout("Label_P2_Voltage", tr("P2 측정 전압"), true);
    Label_P2_Current = MakeReadout("Label_P2_Current", tr("P2 측정 전류"), true);
    Label_P2_Set_Voltage = MakeReadout("Label_P2_Set_Voltage", tr("P2 설정 전압"), false);
    Label_P2_Set_Current = MakeReadout("Label_P2_Set_Current", tr("P2 설정 전류"), false);
    auto row = [&](int r, QLabel* name, QLabel* v, QLabel* vUnit, QLabel* i, QLabel* iUnit) {
        if (name)
            readouts->addWidget(name, r, 0, 2, 1, Qt::AlignCenter);
        readouts->addWidget(v, r, 1);
        if (vUnit)
            readouts->addWidget(vUnit, r, 2, 2, 1);
        readouts->addWidget(i, r, 3);
        if (iUnit)
            readouts->addWidget(iUnit, r, 4, 2, 1);
    };
    row(0, LabelP1, Label_P1_Voltage, LabelP1V, Label_P1_Current, LabelP1A);
    row(1, nullptr, Label_P1_Set_Voltage, nullptr, Label_P1_Set_Current, nullptr);
    row(2, LabelP2, Label_P2_Voltage, LabelP2V, Label_P2_Current, LabelP2A);
    row(3, nullptr, Label_P2_Set_Voltage, nullptr, Label_P2_Set_Current, nullptr);
    readouts->setColumnStretch(1, 1);
    readouts->setColumnStretch(3, 1);
    // Hidden P2 controls keep their place, so nothing moves when the layout changes.
    for (QWidget* w : P2Controls()) {
        QSizePolicy keep = w->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        w->setSizePolicy(keep);
    }
    TextInfo = Named(new TextPanel, "TextInfo");
    Colour(TextInfo, Qt::white, Teal);
    TextInfo->setAccessibleDescription(tr("수신 메시지 창"));
    auto* displayBox = new QVBoxLayout(display);
    displayBox->addLayout(readouts);
    displayBox->addWidget(TextInfo, 1);

    auto* messages = Named(new QGroupBox(tr("메시지 보이기"), central), "FrameMessage");
    TextMessage = Named(new SpacedTextPanel, "TextMessage");
    TextMessage->setFont(DotumCheFont(9));
    Colour(TextMessage, Qt::white, Teal);
    TextMessage->setAccessibleDescription(tr("참조 정보 창 (명령어, 에러, 모델 목록)"));
    TextMessage->setLineWrapMode(QTextEdit::NoWrap);
    (new QVBoxLayout(messages))->addWidget(TextMessage);

    auto* left = new QVBoxLayout;
    left->addWidget(display, 3);
    left->addWidget(messages, 2);

    // Right column, top: model and port groups side by side.
    FrameModelSelect = Named(new QGroupBox(tr("모델 선택"), central), "FrameModelSelect");
    OptionSingle = Named(new QRadioButton(QStringLiteral("Single")), "OptionSingle");
    OptionDual = Named(new QRadioButton(QStringLiteral("Dual/2 Line")), "OptionDual");
    auto* modelKind = Named(new QGroupBox, "FrameModelKind");
    OptionOld = Named(new QRadioButton(QStringLiteral("Old")), "OptionOld");
    OptionNew = Named(new QRadioButton(QStringLiteral("New")), "OptionNew");
    auto* kindBox = new QHBoxLayout(modelKind);
    kindBox->addWidget(OptionOld);
    kindBox->addWidget(OptionNew);
    auto* layoutKind = new QHBoxLayout;
    layoutKind->addWidget(OptionSingle);
    layoutKind->addWidget(OptionDual);
    auto* modelBox = new QVBoxLayout(FrameModelSelect);
    modelBox->addLayout(layoutKind);
    modelBox->addWidget(modelKind);
    OptionSingle->setChecked(true);
    OptionNew->setChecked(true);

    auto* portGroup = Named(new QGroupBox(tr("통신 환경 설정"), central), "FramePort");
    CmdComport = Named(new QPushButton(tr("통신포트")), "CmdComport");
    LabelComportOpen = Named(new QLabel(tr("닫혔음")), "LabelComportOpen");
    LabelComportOpen->setAlignment(Qt::AlignCenter);
    LabelComportOpen->setAccessibleDescription(tr("통신포트 상태"));
    // In the room the port group leaves below its label, so nothing else moves.
    CmdGraph = Named(new QPushButton(tr("그래프")), "CmdGraph");
    CmdGraph->setAccessibleDescription(tr("측정 그래프 창 열기"));
    auto* portBox = new QVBoxLayout(portGroup);
    portBox->addWidget(CmdComport);
    portBox->addWidget(LabelComportOpen);
    portBox->addStretch();
    portBox->addWidget(CmdGraph);

    auto* top = new QHBoxLayout;
    top->addWidget(FrameModelSelect, 1);
    top->addWidget(portGroup, 1);

    // Right column, middle: lamps, repeat group, composer, command field.
    auto* sending = Named(new QGroupBox(tr("명령어 전송"), central), "FrameSend");
    ShapeSend = Named(new Lamp, "ShapeSend");
    ShapeReceive = Named(new Lamp, "ShapeReceive");
    ShapeSend->setAccessibleDescription(tr("송신 표시등"));
    ShapeReceive->setAccessibleDescription(tr("수신 표시등"));
    auto* lamps = new QHBoxLayout;
    lamps->addWidget(new QLabel(tr("송신")));
    lamps->addWidget(ShapeSend);
    lamps->addSpacing(16);
    lamps->addWidget(new QLabel(tr("수신")));
    lamps->addWidget(ShapeReceive);
    lamps->addStretch();

    FrameRedo = Named(new QGroupBox(tr("명령어 반복 전송")), "FrameRedo");
    OptionLineCmd = Named(new QRadioButton(tr("라인 명령")), "OptionLineCmd");
    OptionMonitorCmd = Named(new QRadioButton(tr("모니터 명령")), "OptionMonitorCmd");
    OptionSetCmd = Named(new QRadioButton(tr("설정 모니터 명령")), "OptionSetCmd");
    OptionPatternCmd = Named(new QRadioButton(tr("패턴 출력 명령")), "OptionPatternCmd");
    OptionLineCmd->setChecked(true);
    CheckRedo = Named(new QCheckBox(tr("시간 간격 적용")), "CheckRedo");
    TextReDo = Named(new QLineEdit(QStringLiteral("50")), "TextReDo");
    TextReDo->setReadOnly(true);
    TextReDo->setAccessibleDescription(tr("반복 전송 간격 (mS)"));
    QPalette blue = TextReDo->palette();
    blue.setColor(QPalette::Text, Qt::blue);
    TextReDo->setPalette(blue);
    UpDownReDo = Named(new UpDown, "UpDownReDo");
    UpDownReDo->SetRange(0, 60000);
    UpDownReDo->SetIncrement(10);
    UpDownReDo->SetValue(50);
    UpDownReDo->setAccessibleName(tr("반복 전송 간격"));
    txtTim = Named(new QLineEdit(QStringLiteral("500")), "txtTim");
    txtTim->setEnabled(false);
    txtTim->setAccessibleDescription(tr("모니터 명령 시간 간격 (mS)"));
    UpDownTi = Named(new UpDown, "UpDownTi");
    UpDownTi->SetRange(500, 60000);
    UpDownTi->SetIncrement(500);
    UpDownTi->SetValue(500);
    UpDownTi->setAccessibleName(tr("모니터 명령 시간 간격"));
    for (QLineEdit* e : {TextReDo, txtTim}) {
        e->setFixedSize(64, 22);
        e->setAlignment(Qt::AlignRight);
    }
    auto* redo = new QGridLayout(FrameRedo);
    auto* modes = new QHBoxLayout;
    for (QRadioButton* mode : {OptionLineCmd, OptionMonitorCmd, OptionSetCmd, OptionPatternCmd})
        modes->addWidget(mode);
    redo->addLayout(modes, 0, 0, 1, 2);
    auto* interval = new QHBoxLayout;
    interval->addWidget(CheckRedo);
    interval->addStretch();
    interval->addWidget(TextReDo);
    interval->addWidget(UpDownReDo);
    interval->addWidget(new QLabel(QStringLiteral("mS")));
    redo->addLayout(interval, 1, 0, 1, 2);
    auto* monitor = new QHBoxLayout;
    monitor->addWidget(new QLabel(tr("모니터 명령 시간 간격")));
    monitor->addStretch();
    monitor->addWidget(txtTim);
    monitor->addWidget(UpDownTi);
    monitor->addWidget(new QLabel(QStringLiteral("mS")));
    redo->addLayout(monitor, 2, 0, 1, 2);

    FrameSelCmd = Named(new QGroupBox(tr("명령어 선택")), "FrameSelCmd");
    auto* grid = new QGridLayout(FrameSelCmd);
    grid->setSpacing(3);
    for (const CommandEntry& e : CommandTable()) {
        auto* b = Named(new QPushButton(e.Keyword), e.Button);
        b->setAccessibleDescription(HelpLine(e));
        b->setMinimumWidth(96);
        // The third column's keywords sit above the keypad and span its three narrow columns.
        grid->addWidget(b, e.Row - 1, e.Column == 3 ? 2 : e.Column - 1, 1, e.Column == 3 ? 3 : 1);
    }
    for (const KeypadKey& k : KeypadKeys()) {
        auto* b = Named(new QPushButton(k.Caption), k.Button);
        b->setMinimumWidth(34);
        grid->addWidget(b, k.Row - 1, k.Column - 1);
    }
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 3);

    TextCommand = Named(new QLineEdit, "TextCommand");
    Colour(TextCommand, Qt::yellow, Qt::black);
    TextCommand->setAccessibleDescription(tr("명령어 입력"));
    CmdStartStop = Named(new QPushButton(tr("명령 전송")), "CmdStartStop");
    auto* command = new QHBoxLayout;
    command->addWidget(TextCommand, 1);
    command->addWidget(CmdStartStop);

    auto* sendBox = new QVBoxLayout(sending);
    sendBox->addLayout(lamps);
    sendBox->addWidget(FrameRedo);
    sendBox->addWidget(FrameSelCmd);
    sendBox->addLayout(command);

    auto* selector = Named(new QGroupBox(tr("메시지 선택"), central), "FrameMessageSelect");
    OptionCommand = Named(new QRadioButton(tr("명령어")), "OptionCommand");
    OptionError = Named(new QRadioButton(tr("에러")), "OptionError");
    OptionETC = Named(new QRadioButton(tr("기타 정보")), "OptionETC");
    OptionCommand->setChecked(true);
    auto* selectorBox = new QHBoxLayout(selector);
    selectorBox->addWidget(OptionCommand);
    selectorBox->addWidget(OptionError);
    selectorBox->addWidget(OptionETC);

    auto* right = new QVBoxLayout;
    right->addLayout(top);
    right->addWidget(sending, 1);
    right->addWidget(selector);

    auto* columns = new QHBoxLayout(central);
    columns->addLayout(left, 1);
    columns->addLayout(right, 0);

    // Tight margins keep the whole console on a 1024 x 768 screen.
    for (QLayout* layout : central->findChildren<QLayout*>()) {
        if (qobject_cast<UpDown*>(layout->parentWidget()))
            continue;   // its arrows sit edge to edge
        layout->setContentsMargins(6, 4, 6, 4);
        layout->setSpacing(4);
    }
    grid->setSpacing(2);
    for (QPushButton* b : FrameSelCmd->findChildren<QPushButton*>())
        b->setFixedHeight(22);

    StatusBar1 = Named(new QStatusBar(this), "StatusBar1");
    sbrInfo = Named(new QLabel, "sbrInfo");
    sbrComm = Named(new QLabel, "sbrComm");
    sbrInfo->setAccessibleDescription(tr("도움말"));
    sbrComm->setAccessibleDescription(tr("통신포트 설정"));
    StatusBar1->addWidget(sbrInfo, 5);
    StatusBar1->addWidget(sbrComm, 1);
    setStatusBar(StatusBar1);
    // The panels give up height first; the window opens fitting a 1024 x 768 screen.
    resize(minimumSizeHint().expandedTo(QSize(860, 680)).boundedTo(QSize(1000, 700)));
}
