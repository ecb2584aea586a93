#include "link/CommInit.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "link/LineEvents.h"
#include "link/SerialPort.h"
#include "platform/Services.h"

namespace {
const QString AppTitle = QStringLiteral("Tarvio");

QString SignedNumber(int n)
{
    return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n);
}

// The leading digits of the first three characters, as the load reads the baud rate.
int FirstThreeAsNumber(const QString& text)
{
    const QString head = text.left(3).trimmed();
    int value = 0;
    for (QChar c : head) {
        if (!c.isDigit())
            break;
        value = value * 10 + c.digitValue();
    }
    return value;
}
}

QString ComposeSettingsText(int baud, const QString& parity, int dataBits, int stopBits)
{
    return SignedNumber(baud) + QLatin1Char(',') + parity + QLatin1Char(',') + SignedNumber(dataBits)
           + QLatin1Char(',') + SignedNumber(stopBits);
}

CommInit::CommInit(SerialPort& port, CommInitChoices& choices, UiServices& services, QLabel* openLabel,
                   QPushButton* sendButton, QWidget* parent)
    : QDialog(parent), port_(port), choices_(choices), services_(services), openLabel_(openLabel),
      sendButton_(sendButton)
{
    setObjectName(QStringLiteral("CommInit"));
    setWindowTitle(QStringLiteral(" 통신 포트 초기화"));
    setModal(true);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    // Disabled captions must still read against the grey face.
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        grey.setColor(QPalette::Disabled, role, QColor(112, 112, 112));
    setPalette(grey);
    setAutoFillBackground(true);

    auto group = [&](const QString& caption, QWidget* parent) {
        auto* box = new QGroupBox(caption, parent);
        new QVBoxLayout(box);
        auto* buttons = new QButtonGroup(this);
        buttons->setExclusive(true);
        groups_.append(buttons);
        return std::make_pair(box, buttons);
    };
    auto [portBox, portGroup] = group(QStringLiteral("ComPort"), this);
    Com1 = AddOption(portGroup, portBox, "Com1", QStringLiteral("COM 1"), [this] { choices_.SelectedPort = 1; });
    Com2 = AddOption(portGroup, portBox, "Com2", QStringLiteral("COM 2"), [this] { choices_.SelectedPort = 2; });
    Com3 = AddOption(portGroup, portBox, "Com3", QStringLiteral("COM 3"), [this] { choices_.SelectedPort = 3; });
    Com4 = AddOption(portGroup, portBox, "Com4", QStringLiteral("COM 4"), [this] { choices_.SelectedPort = 4; });

    auto [baudBox, baudGroup] = group(QStringLiteral("Baud Rate"), this);
    auto baud = [&](const char* name, int rate) {
        return AddOption(baudGroup, baudBox, name, QStringLiteral("%1 bps").arg(rate),
                         [this, rate] { choices_.SelectedBaud = rate; });
    };
    Baud300 = baud("Baud300", 300);
    Baud600 = baud("Baud600", 600);
    Baud1200 = baud("Baud1200", 1200);
    Baud2400 = baud("Baud2400", 2400);
    Baud4800 = baud("Baud4800", 4800);
    Baud9600 = baud("Baud9600", 9600);
    Baud19200 = baud("Baud19200", 19200);

    auto [parityBox, parityGroup] = group(QStringLiteral("Parity Bit"), this);
    NoneParity = AddOption(parityGroup, parityBox, "NoneParity", QStringLiteral("None"),
                           [this] { choices_.SelectedParity = QStringLiteral("N"); });
    OddParity = AddOption(parityGroup, parityBox, "OddParity", QStringLiteral("Odd"),
                          [this] { choices_.SelectedParity = QStringLiteral("O"); });
    EvenParity = AddOption(parityGroup, parityBox, "EvenParity", QStringLiteral("Even"),
                           [this] { choices_.SelectedParity = QStringLiteral("E"); });

    auto [dataBox, dataGroup] = group(QStringLiteral("Data Bit"), this);
    Data7bit = AddOption(dataGroup, dataBox, "Data7bit", QStringLiteral("7 Bit"), [this] { choices_.SelectedDataBits = 7; });
    Data8bit = AddOption(dataGroup, dataBox, "Data8bit", QStringLiteral("8 Bit"), [this] { choices_.SelectedDataBits = 8; });

    auto [stopBox, stopGroup] = group(QStringLiteral("Stop Bit"), this);
    Stop1bit = AddOption(stopGroup, stopBox, "Stop1bit", QStringLiteral("1 Bit"), [this] { choices_.SelectedStopBits = 1; });
    Stop2bit = AddOption(stopGroup, stopBox, "Stop2bit", QStringLiteral("2 Bit"), [this] { choices_.SelectedStopBits = 2; });

    auto [flowBox, flowGroup] = group(QStringLiteral("Flow Control"), this);
    Flowcntlnone = AddOption(flowGroup, flowBox, "Flowcntlnone", QStringLiteral("None ( Not Use )"),
                             [this] { choices_.SelectedFlow = 0; });
    Flowcntlxonoff = AddOption(flowGroup, flowBox, "Flowcntlxonoff", QStringLiteral("XON/XOFF ( Handshaking )"),
                               [this] { choices_.SelectedFlow = 1; });
    Flow_rtscts = AddOption(flowGroup, flowBox, "Flow_rtscts", QStringLiteral("RTS/CTS ( Handshaking )"),
                            [this] { choices_.SelectedFlow = 2; });
    // Qt eats a single "&" as a mnemonic marker.
    Flow_both = AddOption(flowGroup, flowBox, "Flow_both", QStringLiteral("Both ( RTS && XON/XOFF )"),
                          [this] { choices_.SelectedFlow = 3; });
    Flowcntlxonoff->setEnabled(false);
    Flow_both->setEnabled(false);

    CommInit_OK = new QPushButton(QStringLiteral("열기"), this);
    CommInit_Close = new QPushButton(QStringLiteral("닫기"), this);
    CommInit_Cancel = new QPushButton(QStringLiteral("취소"), this);
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
    auto* columns = new QHBoxLayout(this);
    columns->addLayout(left);
    columns->addLayout(middle);
    columns->addLayout(right);
}

QRadioButton* CommInit::AddOption(QButtonGroup* group, QWidget* box, const char* name, const QString& caption,
                                  std::function<void()> onClick)
{
    auto* option = new QRadioButton(caption, box);
    option->setObjectName(QString::fromLatin1(name));
    box->layout()->addWidget(option);
    group->addButton(option);
    // Any way the option becomes selected records it, unless the dialog is only
    // putting its controls back to how they were designed.
    connect(option, &QRadioButton::toggled, this, [this, onClick](bool on) {
        if (on && !rebuilding_)
            onClick();
    });
    return option;
}

void CommInit::ShowInitialSelection()
{
    rebuilding_ = true;
    for (QButtonGroup* g : groups_) {
        g->setExclusive(false);
        for (QAbstractButton* b : g->buttons())
            b->setChecked(false);
        g->setExclusive(true);
    }
    for (QRadioButton* initial : {Com1, Baud19200, NoneParity, Data8bit, Stop1bit, Flow_rtscts})
        initial->setChecked(true);
    rebuilding_ = false;
}

void CommInit::Form_Load()
{
    ShowInitialSelection();

    choices_.SelectedPort = port_.PortNumber();
    const QList<QRadioButton*> ports{Com1, Com2, Com3, Com4};
    for (int n = 1; n <= 4; ++n)
        ports[n - 1]->setToolTip(port_.DeviceFor(n));
    if (choices_.SelectedPort >= 1 && choices_.SelectedPort <= 4)
        ports[choices_.SelectedPort - 1]->setChecked(true);

    choices_.SelectedBaud = FirstThreeAsNumber(port_.Settings());
    const QList<std::pair<int, QRadioButton*>> bauds{{300, Baud300},  {600, Baud600},  {120, Baud1200},
                                                      {240, Baud2400}, {480, Baud4800}, {960, Baud9600},
                                                      {192, Baud19200}};
    for (const auto& [prefix, option] : bauds)
        if (choices_.SelectedBaud == prefix)
            option->setChecked(true);

    choices_.SelectedFlow = port_.Handshaking();
    const QList<QRadioButton*> flows{Flowcntlnone, Flowcntlxonoff, Flow_rtscts, Flow_both};
    if (choices_.SelectedFlow >= 0 && choices_.SelectedFlow <= 3)
        flows[choices_.SelectedFlow]->setChecked(true);

    if (choices_.SelectedParity == QLatin1String("N"))
        NoneParity->setChecked(true);
    else if (choices_.SelectedParity == QLatin1String("O"))
        OddParity->setChecked(true);
    else if (choices_.SelectedParity == QLatin1String("E"))
        EvenParity->setChecked(true);
    if (choices_.SelectedDataBits == 7)
        Data7bit->setChecked(true);
    else if (choices_.SelectedDataBits == 8)
        Data8bit->setChecked(true);
    if (choices_.SelectedStopBits == 1)
        Stop1bit->setChecked(true);
    else if (choices_.SelectedStopBits == 2)
        Stop2bit->setChecked(true);
}

int CommInit::Exec()
{
    Form_Load();
    return exec();
}

void CommInit::RecordSelection()
{
    auto pick = [](std::initializer_list<std::pair<QRadioButton*, std::function<void()>>> options) {
        for (const auto& [option, record] : options)
            if (option->isChecked()) {
                record();
                return;
            }
    };
    auto& c = choices_;
    pick({{Com1, [&] { c.SelectedPort = 1; }}, {Com2, [&] { c.SelectedPort = 2; }},
          {Com3, [&] { c.SelectedPort = 3; }}, {Com4, [&] { c.SelectedPort = 4; }}});
    pick({{Baud300, [&] { c.SelectedBaud = 300; }}, {Baud600, [&] { c.SelectedBaud = 600; }},
          {Baud1200, [&] { c.SelectedBaud = 1200; }}, {Baud2400, [&] { c.SelectedBaud = 2400; }},
          {Baud4800, [&] { c.SelectedBaud = 4800; }}, {Baud9600, [&] { c.SelectedBaud = 9600; }},
          {Baud19200, [&] { c.SelectedBaud = 19200; }}});
    pick({{NoneParity, [&] { c.SelectedParity = QStringLiteral("N"); }},
          {OddParity, [&] { c.SelectedParity = QStringLiteral("O"); }},
          {EvenParity, [&] { c.SelectedParity = QStringLiteral("E"); }}});
    pick({{Data7bit, [&] { c.SelectedDataBits = 7; }}, {Data8bit, [&] { c.SelectedDataBits = 8; }}});
    pick({{Stop1bit, [&] { c.SelectedStopBits = 1; }}, {Stop2bit, [&] { c.SelectedStopBits = 2; }}});
    pick({{Flowcntlnone, [&] { c.SelectedFlow = 0; }}, {Flowcntlxonoff, [&] { c.SelectedFlow = 1; }},
          {Flow_rtscts, [&] { c.SelectedFlow = 2; }}, {Flow_both, [&] { c.SelectedFlow = 3; }}});
}

void CommInit::CommInit_OK_Click()
{
    RecordSelection();
    if (port_.IsOpen()) {
        services_.ShowMessage(this, AppTitle, QStringLiteral("통신포트가 이미 열려 있습니다."));
        accept();
        return;
    }
    port_.SetPortNumber(choices_.SelectedPort);
    port_.SetSettings(ComposeSettingsText(choices_.SelectedBaud, choices_.SelectedParity, choices_.SelectedDataBits,
                                          choices_.SelectedStopBits));
    port_.SetHandshaking(choices_.SelectedFlow);
    openLabel_->setText(QStringLiteral("열렸음"));
    const OpenResult result = port_.Open();
    if (result.Ok()) {
        sendButton_->setEnabled(true);
    } else {
        // The label already claimed success; take it back before telling the operator why.
        openLabel_->setText(QStringLiteral("닫혔음"));
        sendButton_->setEnabled(false);
        services_.ShowMessage(this, AppTitle, OpenFailureMessage(result.Error, result.Device, result.Detail));
    }
    accept();
}

void CommInit::CommInit_Close_Click()
{
    if (!port_.IsOpen())
        return;
    port_.Close();
    openLabel_->setText(QStringLiteral("닫혔음"));
    sendButton_->setEnabled(false);
}

void CommInit::CommInit_Cancel_Click()
{
    reject();
}
