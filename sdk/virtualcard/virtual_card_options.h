#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zul::vcard {

// How the virtual driver answers the open-card request.
enum class OpenReply { Card, NoCard, NoDriver, OtherBoard, Fail };

// Everything the virtual card can be told, from ZUL_VIRTUAL_CARD
// ("standard=525;narrow=1;fresh=1;source=picture.bmp") or from C++. The
// fault fields stay live while the card runs: a count of N arms the N-th
// request of its kind from the moment it is set.
struct VirtualCardOptions {
    int standard = 625;            // standard=625|525|none (0: no video signal)
    bool narrow = false;           // narrow=1: 510 pixels and lines at most
    bool fresh = false;            // fresh=1: powered up, needs start-up
    std::string source;            // source=<picture file>
    bool fringes = false;          // scene=fringes|still: a disc of fringes that moves on each snap
    std::uint32_t window = 0x4B370000; // window=<token>
    std::uint32_t cardId = 1;      // id=<card id>

    bool noDevice = false;         // device=absent: no driver installed
    bool probeFails = false;       // probe=fail
    OpenReply openReply = OpenReply::Card; // open=card|nocard|nodriver|otherboard|fail
    bool identifyFails = false;    // ident=fail
    int failWrite = 0;             // failwrite=N: N-th register write request fails
    int shortWrite = 0;            // shortwrite=N: N-th register write request writes one byte less
    int failRead = 0;              // failread=N: N-th register read request fails
    bool controlFails = false;     // control=fail: writes to the control register fail
    bool statusFails = false;      // status=fail: reads of the status register fail
    bool acquisitionStuck = false; // acquisition=stuck: an acquisition never ends
    int acquisitionReads = 3;      // acquisition=N: status reads that still see it running
    bool noTick = false;           // tick=none: the pacing tick never comes
    bool trigger = false;          // trigger=1: the external trigger has been seen

    // Faults of the library on a machine with this card, armed once when
    // the card is made, counted from then: memory the library claims
    // (card records, line buffers, image blocks) and the writes of its
    // picture files.
    int failClaim = 0;             // failclaim=N: the N-th claim of memory fails
    int failFileWrite = 0;         // failfilewrite=N: the N-th file write fails
};

struct ParsedOptions {
    VirtualCardOptions options;
    std::vector<std::string> errors; // one text per key or value not understood
};

ParsedOptions parseVirtualCardOptions(std::string_view text);

} // namespace zul::vcard
