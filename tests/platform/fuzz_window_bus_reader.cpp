// Bytes from another process, in pieces of any size, never make the window
// bus's reader overrun, accept an oversized message, or yield a message
// that does not encode back to the bytes it came from.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/window_bus_wire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kinolux::BusRequestReader reader;
    size_t at = 0;
    // The first byte chooses the piece size, so splits are explored too.
    const size_t piece = size > 0 ? 1 + data[0] % 64 : 1;
    std::string consumed;
    while (at < bytes.size()) {
        std::string_view part = bytes.substr(at, piece);
        reader.Append(part);
        at += part.size();
        kinolux::BusMessage message;
        bool wantsReply = false;
        for (;;) {
            auto status = reader.Next(message, wantsReply);
            if (status == kinolux::BusRequestReader::Status::Bad) return 0;
            if (status == kinolux::BusRequestReader::Status::NeedMore) break;
            if (message.data.size() > kinolux::kMaxCopyDataBytes) __builtin_trap();
            consumed += kinolux::EncodeBusRequest(message, wantsReply);
            if (bytes.substr(0, consumed.size()) != consumed) __builtin_trap();
        }
    }
    return 0;
}
