// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/CommInit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "link/DeviceFiles.h"
#include "link/SerialPort.h"
#include "platform/Services.h"

namespace {
const QString AppTitle = QStringLiteral("Tarvio");
}

CommInit::CommInit(const SerialPort& port, CommInitChoices& choices, UiServices& services, PortRequests& requests,
                   QWidget* parent)
    : QDialog(parent), port_(port), choices_(choices), services_(services), requests_(requests)
{
    setObjectName(QStringLiteral("CommInit"));
    setWindowTitle(tr(" 통신 포트 초기화"));
    setModal(true);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    // Disabled captions must still read against the grey face.
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        grey.setColor(QPalette::Disabled, role, QColor(112, 112, 112));
    setPalette(grey);
    setAutoFillBackground(true);

    QGroupBox* portBox = AddGroup(ChoiceGroup::Port, QStringLiteral("ComPort"),
                                  {{&Com1, "Com1"}, {&Com2, "Com2"}, {&Com3, "Com3"}, {&Com4, "Com4"}},
                                  {QStringLiteral("COM 1"), QStringLiteral("COM 2"), QStringLiteral("COM 3"),
                                   QStringLiteral("COM 4")});
    QGroupBox* baudBox = AddGroup(ChoiceGroup::Baud, QStringLiteral("Baud Rate"),
                                  {{&Baud300, "Baud300"},
                                   {&Baud600, "Baud600"},
                                   {&Baud1200, "Baud1200"},
                                   {&Baud2400, "Baud2400"},
                                   {&Baud4800, "Baud4800"},
                                   {&Baud9600, "Baud9600"},
                                   {&Baud19200, "Baud19200"}},
                                  {QStringLiteral("300 bps"), QStringLiteral("600 bps"), QStringLiteral("1200 bps"),
                                   QStringLiteral("2400 bps"), QStringLiteral("4800 bps"),
                                   QStringLiteral("9600 bps"), QStringLiteral("19200 bps")});
    QGroupBox* parityBox = AddGroup(ChoiceGroup::Parity, QStringLiteral("Parity Bit"),
                                    {{&NoneParity, "NoneParity"}, {&OddParity, "OddParity"}, {&EvenParity, "EvenParity"}},
                                    {QStringLiteral("None"), QStringLiteral("Odd"), QStringLiteral("Even")});
    QGroupBox* dataBox = AddGroup(ChoiceGroup::DataBits, QStringLiteral("Data Bit"),
                                  {{&Data7bit, "Data7bit"}, {&Data8bit, "Data8bit"}},
                                  {QStringLiteral("7 Bit"), QStringLiteral("8 Bit")});
    QGroupBox* stopBox = AddGroup(ChoiceGroup::StopBits, QStringLiteral("Stop Bit"),
                                  {{&Stop1bit, "Stop1bit"}, {&Stop2bit, "Stop2bit"}},
                                  {QStringLiteral("1 Bit"), QStringLiteral("2 Bit")});
    // Qt eats a single "&" as a mnemonic marker.
    QGroupBox* flowBox = AddGroup(ChoiceGroup::Flow, QStringLiteral("Flow Control"),
                                  {{&Flowcntlnone, "Flowcntlnone"},
                                   {&Flowcntlxonoff, "Flowcntlxonoff"},
                                   {&Flow_rtscts, "Flow_rtscts"},
                                   {&Flow_both, "Flow_both"}},
                                  {QStringLiteral("None ( Not Use )"), QStringLiteral("XON/XOFF ( Handshaking )"),
                                   QStringLiteral("RTS/CTS ( Handshaking )"),
                                   QStringLiteral("Both ( RTS && XON/XOFF )")});
    Flowcntlxonoff->setEnabled(false);
    Flow_both->setEnabled(false);

    CommInit_OK = new QPushButton(tr("열기"), this);
    CommInit_Close = new QPushButton(tr("닫기"), this);
    CommInit_Cancel = new QPushButton(tr("취소"), this);
    CommInit_OK->setObjectName(QStringLiteral("CommInit_OK"));
    CommInit_Close->setObjectName(QStringLiteral("CommInit_Close"));
    CommInit_Cancel->setObjectName(QStringLiteral("CommInit_Cancel"));
    CommInit_OK->setDefault(true);
    connect(CommInit_OK, &QPushButton::clicked, this, &CommInit::CommInit_OK_Click);
    connect(CommInit_Close, &QPushButton::clicked, this, &CommInit::CommInit_Close_Click);
    connect(CommInit_Cancel, &QPushButton::clicked, this, &CommInit::CommInit_Cancel_Click);

    auto* left = new QVBoxLayout;
    left->addWidget(portBox);
    left->addWidget(baudBox);
    left->addStretch();
    auto* bits = new QHBoxLayout;
    bits->addWidget(dataBox);
    bits->addWidget(stopBox);
    auto* middle = new QVBoxLayout;
    middle->addWidget(parityBox);
    middle->addLayout(bits);
    middle->addWidget(flowBox);
    middle->addStretch();
    auto* right = new QVBoxLayout;
    for (QPushButton* b : {CommInit_OK, CommInit_Close, CommInit_Cancel}) {
        b->setMinimumWidth(90);
        right->addWidget(b);
    }
    right->addStretch();
    auto* rows = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    rows->addLayout(columns);
    // Below every existing group, so none of them moves.
    CheckAutoReconnect = new QCheckBox(tr("자동 재연결"), this);
    CheckAutoReconnect->setObjectName(QStringLiteral("CheckAutoReconnect"));
    CheckAutoReconnect->setToolTip(tr("잃어버린 장치가 돌아오면 같은 설정으로 다시 엽니다. 패턴 실행과 반복 전송은 다시 시작하지 않습니다."));
    rows->addWidget(CheckAutoReconnect);
    connect(CheckAutoReconnect, &QCheckBox::toggled, this, [this](bool on) { choices_.AutoReconnect = on; });
    columns->addLayout(left);
    columns->addLayout(middle);
    columns->addLayout(right);
}

QGroupBox* CommInit::AddGroup(ChoiceGroup group, const QString& caption,
                              std::initializer_list<std::pair<QRadioButton**, const char*>> options,
                              const QStringList& captions)
{
    auto* box = new QGroupBox(caption, this);
    new QVBoxLayout(box);
    auto* buttons = new QButtonGroup(this);
    buttons->setExclusive(true);
    groups_[int(group)] = buttons;
    int index = 0;
    for (const auto& [member, name] : options) {
        auto* option = new QRadioButton(captions.at(index), box);
        option->setObjectName(QString::fromLatin1(name));
        box->layout()->addWidget(option);
        buttons->addButton(option, index);
        *member = option;
        ++index;
    }
    // Any way an option becomes selected records it, unless the dialog is
    // only showing what it loaded.
    connect(buttons, &QButtonGroup::idToggled, this, [this, group](int id, bool on) {
        if (on && !rebuilding_)
            RecordChoice(choices_, group, id);
    });
    return box;
}

void CommInit::ShowSelection(const DialogSelection& selection)
{
    rebuilding_ = true;
    for (int g = 0; g < ChoiceGroupCount; ++g) {
        QAbstractButton* option = groups_[g]->button(selection.Index[g]);
        if (option)
            option->setChecked(true);
    }
    rebuilding_ = false;
}

void CommInit::Form_Load()
{
    const QList<QRadioButton*> ports{Com1, Com2, Com3, Com4};
    for (int n = 1; n <= 4; ++n) {
        // A USB adapter's kernel name changes when it re-enumerates; its stable name does not.
        const QString device = port_.DeviceFor(n);
        const QString stable = port_.Files().StableNameFor(device);
        ports[n - 1]->setToolTip(stable.isEmpty() ? device : QStringLiteral("%1 (%2)").arg(device, stable));
    }
    ShowSelection(LoadDialogChoices(choices_, port_.PortNumber(), port_.Settings(), port_.Handshaking()));
    CheckAutoReconnect->setChecked(choices_.AutoReconnect);
}

int CommInit::Exec()
{
    Form_Load();
    return exec();
}

void CommInit::RecordSelection()
{
    for (int g = 0; g < ChoiceGroupCount; ++g)
        RecordChoice(choices_, ChoiceGroup(g), groups_[g]->checkedId());
}

void CommInit::CommInit_OK_Click()
{
    RecordSelection();
    if (port_.IsOpen()) {
        services_.ShowMessage(this, AppTitle, tr("통신포트가 이미 열려 있습니다."));
        accept();
        return;
    }
    const Outcome opened = requests_.OpenRequested(choices_);
    if (!opened.Ok())
        services_.ShowMessage(this, AppTitle, opened.Message());
    accept();
}

void CommInit::CommInit_Close_Click()
{
    requests_.CloseRequested();
}

void CommInit::CommInit_Cancel_Click()
{
    reject();
}
