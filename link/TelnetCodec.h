// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The bytes of the Telnet protocol and of its com port option that a serial
// device server speaks.
namespace Telnet {
constexpr quint8 Se = 240, Sb = 250, Will = 251, Wont = 252, Do = 253, Dont = 254, Iac = 255;
constexpr quint8 Binary = 0, SuppressGoAhead = 3, ComPortOption = 44;
// Commands inside the com port option; the server answers each with its code + ServerReply.
constexpr quint8 SetBaudRate = 1, SetDataSize = 2, SetParity = 3, SetStopSize = 4, SetControl = 5,
                 NotifyLineState = 6, NotifyModemState = 7, SetLineStateMask = 10, SetModemStateMask = 11;
constexpr quint8 ServerReply = 100;
// SET-CONTROL values: the flow control modes, and the RTS line.
constexpr quint8 NoFlow = 1, XonXoffFlow = 2, HardwareFlow = 3, RtsOn = 11, RtsOff = 12;
// Line-state bits asked for: break, framing, parity, overrun (data-ready would
// come with every byte). Every modem-state change is asked for.
constexpr quint8 LineStateMask = 0x1E, ModemStateMask = 0xFF;
// No subnegotiation we read is longer; a longer one is dropped whole, so a
// server that never ends one costs no more memory than this.
constexpr int MaxSubnegotiation = 64;
}

// The serial line as the port dialog sets it: parity 'N', 'O', 'E' (or 'M',
// 'S'); handshaking numbered as Handshake in link/PortSettings.h, where
// RTS/CTS with XON/XOFF goes out as hardware flow, as the local port does it.
// A value the option cannot carry is sent as 0, which asks for the current one.
struct ComPortLine {
    quint32 Baud = 19200;
    int DataBits = 8;
    char Parity = 'N';
    int StopBits = 1;
    int Handshaking = 0;
};

// What the server last said the line is: its answers to our settings, in the
// option's own numbers (parity 1 none, 2 odd, 3 even); 0 or -1 until it says.
struct ComPortAnswers {
    quint32 Baud = 0;
    int DataBits = 0, Parity = 0, StopBits = 0, FlowControl = 0;
    int RequestToSend = -1;   // 1 on, 0 off
    int ModemState = -1;      // the last NOTIFY-MODEMSTATE byte
};

// Asked: no answer yet, which is all a raw server ever gives (the device times
// it out). Refused: the server said DONT to the option; settings stay unsent.
enum class ComPortStatus { Asked, Accepted, Refused };

// What one chunk from the server meant.
struct TelnetInput {
    QByteArray Data;        // the serial line's bytes, unescaped
    QByteArray Reply;       // to be sent back before anything else
    QList<int> LineEvents;  // LineEventCode numbers, as a local UART raises them
    bool ComPortRefused = false;  // true in the one chunk where the option was first refused
};

// Doubles every IAC byte, for data and for the values inside a subnegotiation.
QByteArray EscapeTelnetData(QByteArrayView data);
// IAC SB COM-PORT-OPTION command value IAC SE, with the value escaped.
QByteArray ComPortCommand(quint8 command, QByteArrayView value);
// SET-BAUDRATE, -DATASIZE, -PARITY, -STOPSIZE, -CONTROL and both notification masks.
QByteArray ComPortSettingsCommands(const ComPortLine& line);

// One connection's Telnet session with a serial device server: the option
// negotiation, the line settings and the server's notifications. Plain logic
// over bytes: the device writes what the routines return and feeds Decode()
// whatever the socket read, cut anywhere. Options move only on a request that
// changes their state and we never ask to turn one off, so the negotiation
// needs no more than RFC 1143's states without its queue, and answers never
// loop: each request gets at most one answer of the same size, and the
// settings go out once, when the server first takes the option.
class TelnetCodec {
public:
    explicit TelnetCodec(const ComPortLine& line = {}) : line_(line) {}

    // The first bytes on the connection: WILL and DO for the com port option,
    // binary and suppress-go-ahead. Data written before the server takes the
    // option travels at whatever the line was set to before.
    QByteArray Connect();
    // The settings' commands now if the server took the option; kept for the
    // moment it does while it has not answered; nothing once it refused.
    QByteArray Configure(const ComPortLine& line);
    QByteArray SetRequestToSend(bool on) const;

    TelnetInput Decode(QByteArrayView chunk);
    ComPortStatus ComPort() const;
    const ComPortAnswers& Answers() const { return answers_; }

private:
    enum class Option : quint8 { No, WantYes, Yes };
    enum class Reading : quint8 { Data, Command, OptionName, Sub, SubCommand };

    void ReadCommand(quint8 byte, TelnetInput& out);
    void Negotiate(quint8 verb, quint8 option, TelnetInput& out);
    void ReadSubnegotiation(TelnetInput& out);

    ComPortLine line_;
    ComPortAnswers answers_;
    Option ours_[256] = {};
    Option theirs_[256] = {};
    bool settingsSent_ = false;
    bool refused_ = false;
    Reading reading_ = Reading::Data;
    quint8 verb_ = 0;
    bool subTooLong_ = false;
    QByteArray sub_;
};
