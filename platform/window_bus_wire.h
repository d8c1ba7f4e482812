// What travels over a window bus connection. A request is a 32-byte header
// (little-endian: "KXWB", message, flags, wParam, dwData, byte count) and
// the bytes; a reply to a sent message is "KXWR" and the 64-bit result.
// The reader takes bytes from another process, so it trusts nothing: a bad
// signature, unknown flags or an oversized byte count end the connection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kinolux {

// An opaque name of a registered window; 0 names none.
using WindowHandle = uint64_t;

inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_COPYDATA = 0x004A;

// The most a WM_COPYDATA message may carry.
inline constexpr size_t kMaxCopyDataBytes = 16u << 20;

struct BusMessage {
    uint32_t message = 0;
    WindowHandle wParam = 0;  // WM_COPYDATA: the sender's own window, so the receiver can answer
    uint64_t dwData = 0;
    std::string data;         // WM_COPYDATA: the cbData bytes

    bool operator==(const BusMessage&) const = default;
};

inline constexpr size_t kBusHeaderSize = 32;
inline constexpr size_t kBusReplySize = 12;

// The request bytes; `wantsReply` asks the receiver to answer with its result.
std::string EncodeBusRequest(const BusMessage& message, bool wantsReply);
std::string EncodeBusReply(int64_t result);
// The result of a whole reply, or nothing for anything else.
std::optional<int64_t> DecodeBusReply(std::string_view bytes);

// Collects the bytes of one connection and yields its requests in order.
class BusRequestReader {
public:
    enum class Status { NeedMore, Complete, Bad };

    void Append(std::string_view bytes);
    // Complete: `message` and `wantsReply` hold the next request, removed
    // from the buffer. Bad: the connection must be dropped; Bad stays.
    Status Next(BusMessage& message, bool& wantsReply);

private:
    std::string buffer_;
    bool bad_ = false;
};

}  // namespace kinolux
