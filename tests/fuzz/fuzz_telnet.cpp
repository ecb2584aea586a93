// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The Telnet decoder on anything a server may send: how the bytes are cut
// changes nothing, answers never outgrow the requests,
// data and subnegotiation values escaped decode to themselves, and a server
// that never ends a subnegotiation costs no memory.
#include <sanitizer/allocator_interface.h>

#include "FuzzCheck.h"
#include "link/TelnetCodec.h"

namespace {

struct Decoded {
    QByteArray Data, Reply;
    QList<int> Events;
    int Refusals = 0;
};

void Take(Decoded& all, const TelnetInput& in)
{
    all.Data += in.Data;
    all.Reply += in.Reply;
    all.Events += in.LineEvents;
    all.Refusals += in.ComPortRefused;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t config = data[0];
    const QByteArrayView stream(data + 1, qsizetype(size - 1));
    const ComPortLine line{quint32(config) * 1200, 5 + config % 5, "NOEMSX"[config % 6], 1 + config % 3, config % 5};
    const bool connect = config & 0x80;

    TelnetCodec whole(line), pieces(line);
    Decoded once, chunked;
    if (connect)
        FUZZ_CHECK(whole.Connect() == pieces.Connect(), "connecting differs");
    Take(once, whole.Decode(stream));
    fuzz::InPieces(config, stream, [&](QByteArrayView piece) { Take(chunked, pieces.Decode(piece)); });

    FUZZ_CHECK(once.Data == chunked.Data && once.Reply == chunked.Reply && once.Events == chunked.Events,
               "the cut of the chunks changed what was decoded");
    FUZZ_CHECK(once.Refusals == chunked.Refusals && once.Refusals <= 1 && whole.ComPort() == pieces.ComPort(),
               "the cut of the chunks changed the session, or a refusal told twice");
    FUZZ_CHECK(once.Data.size() <= stream.size(), "more data than bytes");
    // Each request gets at most one answer of its own size; the settings go once.
    FUZZ_CHECK(once.Reply.size() <= stream.size() + ComPortSettingsCommands(line).size(), "answers outgrew the requests");

    // What we answer is commands only, and the data escaped is the data again.
    FUZZ_CHECK(TelnetCodec().Decode(once.Reply).Data.isEmpty(), "an answer leaks into the peer's data");
    for (QByteArrayView bytes : {QByteArrayView(once.Data), stream}) {
        const TelnetInput reread = TelnetCodec().Decode(EscapeTelnetData(bytes));
        FUZZ_CHECK(reread.Data == bytes && reread.Reply.isEmpty() && reread.LineEvents.isEmpty(),
                   "escaped data does not decode to itself");
    }
    // Any value inside a subnegotiation stays inside it.
    FUZZ_CHECK(TelnetCodec().Decode(ComPortCommand(config % 12, stream)).Data.isEmpty(), "a subnegotiation leaks into the data");

    // The same bytes over and over, some 32 KiB: the session holds no more.
    if ((config & 0x60) == 0x60 && !stream.isEmpty()) {
        QByteArray repeated;
        while (repeated.size() < 4096)
            repeated += stream;
        const size_t before = __sanitizer_get_current_allocated_bytes();
        for (int k = 0; k < 8; ++k)
            whole.Decode(repeated);
        FUZZ_CHECK(__sanitizer_get_current_allocated_bytes() <= before + 8 * 1024, "the session's memory grows");
    }
    return 0;
}
