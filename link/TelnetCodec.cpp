// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/TelnetCodec.h"

#include <algorithm>
#include <cstring>

using namespace Telnet;

namespace {

// LineEventCode's numbers, by value so that the codec needs nothing of the port.
constexpr int CtsChange = 3, DsrChange = 4, CdChange = 5, Ring = 6;
constexpr int Break = 1001, Frame = 1004, Overrun = 1006, RxParity = 1009;

// Line-state and modem-state bits, in the order a local UART's counters report them.
constexpr struct { quint8 Bit; int Event; } LineStateEvents[] = {
    {0x10, Break}, {0x08, Frame}, {0x02, Overrun}, {0x04, RxParity}};
constexpr struct { quint8 Delta; quint8 Level; int Event; } ModemStateEvents[] = {
    {0x01, 0x10, CtsChange}, {0x02, 0x20, DsrChange}, {0x08, 0x80, CdChange}, {0x04, 0x00, Ring}};

bool Supported(quint8 option)
{
    return option == Binary || option == SuppressGoAhead || option == ComPortOption;
}

quint8 ParityCode(char parity)
{
    switch (parity) {
    case 'N': return 1;
    case 'O': return 2;
    case 'E': return 3;
    case 'M': return 4;
    case 'S': return 5;
    default: return 0;
    }
}

quint8 FlowCode(int handshaking)
{
    static constexpr quint8 Codes[] = {NoFlow, XonXoffFlow, HardwareFlow, HardwareFlow};
    return handshaking >= 0 && handshaking < 4 ? Codes[handshaking] : 0;
}

QByteArray Bytes(std::initializer_list<quint8> bytes)
{
    QByteArray out;
    for (quint8 b : bytes)
        out.append(char(b));
    return out;
}

QByteArray OneByte(quint8 value)
{
    return QByteArray(1, char(value));
}

} // namespace

QByteArray EscapeTelnetData(QByteArrayView data)
{
    const char* p = data.data();
    const char* const end = p + data.size();
    QByteArray out;
    out.reserve(data.size() + std::count(p, end, char(Iac)));
    while (p < end) {
        const void* iac = std::memchr(p, Iac, size_t(end - p));
        const char* stop = iac ? static_cast<const char*>(iac) + 1 : end;
        out.append(p, stop - p);
        if (iac)
            out.append(char(Iac));
        p = stop;
    }
    return out;
}

QByteArray ComPortCommand(quint8 command, QByteArrayView value)
{
    return Bytes({Iac, Sb, ComPortOption, command}) + EscapeTelnetData(value) + Bytes({Iac, Se});
}

QByteArray ComPortSettingsCommands(const ComPortLine& line)
{
    const quint32 baud = line.Baud;
    const bool dataOk = line.DataBits >= 5 && line.DataBits <= 8;
    const bool stopOk = line.StopBits == 1 || line.StopBits == 2;
    return ComPortCommand(SetBaudRate, Bytes({quint8(baud >> 24), quint8(baud >> 16), quint8(baud >> 8), quint8(baud)}))
        + ComPortCommand(SetDataSize, OneByte(dataOk ? quint8(line.DataBits) : 0))
        + ComPortCommand(SetParity, OneByte(ParityCode(line.Parity)))
        + ComPortCommand(SetStopSize, OneByte(stopOk ? quint8(line.StopBits) : 0))
        + ComPortCommand(SetControl, OneByte(FlowCode(line.Handshaking)))
        + ComPortCommand(SetLineStateMask, OneByte(LineStateMask))
        + ComPortCommand(SetModemStateMask, OneByte(ModemStateMask));
}

QByteArray TelnetCodec::Connect()
{
    QByteArray out;
    for (quint8 option : {ComPortOption, Binary, SuppressGoAhead}) {
        if (ours_[option] == Option::No) {
            ours_[option] = Option::WantYes;
            out += Bytes({Iac, Will, option});
        }
        if (theirs_[option] == Option::No) {
            theirs_[option] = Option::WantYes;
            out += Bytes({Iac, Do, option});
        }
    }
    return out;
}

QByteArray TelnetCodec::Configure(const ComPortLine& line)
{
    line_ = line;
    if (ours_[ComPortOption] != Option::Yes)
        return {};
    settingsSent_ = true;
    return ComPortSettingsCommands(line_);
}

QByteArray TelnetCodec::SetRequestToSend(bool on) const
{
    if (ours_[ComPortOption] != Option::Yes)
        return {};
    return ComPortCommand(SetControl, OneByte(on ? RtsOn : RtsOff));
}

ComPortStatus TelnetCodec::ComPort() const
{
    if (ours_[ComPortOption] == Option::Yes)
        return ComPortStatus::Accepted;
    return refused_ ? ComPortStatus::Refused : ComPortStatus::Asked;
}

TelnetInput TelnetCodec::Decode(QByteArrayView chunk)
{
    TelnetInput out;
    const char* p = chunk.data();
    const char* const end = p + chunk.size();
    while (p < end) {
        if (reading_ == Reading::Data) {
            // Data comes in runs between commands; copy each run whole.
            const void* iac = std::memchr(p, Iac, size_t(end - p));
            const char* stop = iac ? static_cast<const char*>(iac) : end;
            out.Data.append(p, stop - p);
            p = stop;
            if (iac) {
                reading_ = Reading::Command;
                ++p;
            }
            continue;
        }
        const quint8 byte = quint8(*p++);
        switch (reading_) {
        case Reading::Command:
            ReadCommand(byte, out);
            break;
        case Reading::OptionName:
            reading_ = Reading::Data;
            Negotiate(verb_, byte, out);
            break;
        case Reading::Sub:
            if (byte == Iac)
                reading_ = Reading::SubCommand;
            else if (sub_.size() < MaxSubnegotiation)
                sub_.append(char(byte));
            else
                subTooLong_ = true;
            break;
        case Reading::SubCommand:
            if (byte == Iac) {
                reading_ = Reading::Sub;
                if (sub_.size() < MaxSubnegotiation)
                    sub_.append(char(Iac));
                else
                    subTooLong_ = true;
            } else if (byte == Se) {
                reading_ = Reading::Data;
                if (!subTooLong_)
                    ReadSubnegotiation(out);
            } else {
                // The server lost an SE: drop the subnegotiation, honour the command.
                ReadCommand(byte, out);
            }
            break;
        case Reading::Data:
            break;
        }
    }
    return out;
}

void TelnetCodec::ReadCommand(quint8 byte, TelnetInput& out)
{
    reading_ = Reading::Data;
    if (byte == Iac) {
        out.Data.append(char(Iac));
    } else if (byte >= Will) {
        verb_ = byte;
        reading_ = Reading::OptionName;
    } else if (byte == Sb) {
        sub_.clear();
        subTooLong_ = false;
        reading_ = Reading::Sub;
    }
    // NOP, go-ahead, data mark, break and the rest mean nothing on a serial line here.
}

void TelnetCodec::Negotiate(quint8 verb, quint8 option, TelnetInput& out)
{
    // DO and DONT are about our side of the option, WILL and WONT about theirs.
    const bool ours = verb == Do || verb == Dont;
    Option& state = ours ? ours_[option] : theirs_[option];
    const quint8 yes = ours ? Will : Do;
    const quint8 no = ours ? Wont : Dont;
    const bool comPort = ours && option == ComPortOption;
    if (verb == Will || verb == Do) {
        if (!Supported(option)) {
            out.Reply += Bytes({Iac, no, option});
            return;
        }
        if (state == Option::No)
            out.Reply += Bytes({Iac, yes, option});
        state = Option::Yes;
        if (comPort && !settingsSent_) {
            settingsSent_ = true;
            out.Reply += ComPortSettingsCommands(line_);
        }
        return;
    }
    if (state == Option::No)
        return;
    if (state == Option::Yes)
        out.Reply += Bytes({Iac, no, option});
    state = Option::No;
    if (comPort && !refused_) {
        refused_ = true;
        out.ComPortRefused = true;
    }
}

void TelnetCodec::ReadSubnegotiation(TelnetInput& out)
{
    if (sub_.size() < 3 || quint8(sub_[0]) != ComPortOption)
        return;
    const quint8 command = quint8(sub_[1]);
    const quint8 value = quint8(sub_[2]);
    switch (command) {
    case ServerReply + SetBaudRate:
        if (sub_.size() == 6)
            answers_.Baud = quint32(quint8(sub_[2])) << 24 | quint32(quint8(sub_[3])) << 16
                | quint32(quint8(sub_[4])) << 8 | quint8(sub_[5]);
        break;
    case ServerReply + SetDataSize: answers_.DataBits = value; break;
    case ServerReply + SetParity: answers_.Parity = value; break;
    case ServerReply + SetStopSize: answers_.StopBits = value; break;
    case ServerReply + SetControl:
        if (value >= NoFlow && value <= HardwareFlow)
            answers_.FlowControl = value;
        else if (value == RtsOn || value == RtsOff)
            answers_.RequestToSend = value == RtsOn ? 1 : 0;
        break;
    case ServerReply + NotifyLineState:
        for (const auto& e : LineStateEvents)
            if (value & e.Bit)
                out.LineEvents.append(e.Event);
        break;
    case ServerReply + NotifyModemState: {
        // A server that reports levels but no deltas still shows a change.
        const int levelsMoved = answers_.ModemState < 0 ? 0 : (answers_.ModemState ^ value);
        for (const auto& e : ModemStateEvents)
            if ((value & e.Delta) || (levelsMoved & e.Level))
                out.LineEvents.append(e.Event);
        answers_.ModemState = value;
        break;
    }
    default:
        break;
    }
}
