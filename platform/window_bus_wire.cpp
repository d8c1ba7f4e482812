#include "platform/window_bus_wire.h"

#include <algorithm>
#include <cstring>

namespace kinolux {

namespace {

constexpr char kRequestSignature[4] = {'K', 'X', 'W', 'B'};
constexpr char kReplySignature[4] = {'K', 'X', 'W', 'R'};
constexpr uint32_t kFlagWantsReply = 1;

void PutLittle(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint64_t GetLittle(std::string_view in, size_t at, int bytes) {
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= uint64_t(static_cast<uint8_t>(in[at + i])) << (8 * i);
    return value;
}

}  // namespace

std::string EncodeBusRequest(const BusMessage& message, bool wantsReply) {
    std::string out(kRequestSignature, 4);
    PutLittle(out, message.message, 4);
    PutLittle(out, wantsReply ? kFlagWantsReply : 0, 4);
    PutLittle(out, message.wParam, 8);
    PutLittle(out, message.dwData, 8);
    PutLittle(out, message.data.size(), 4);
    out += message.data;
    return out;
}

std::string EncodeBusReply(int64_t result) {
    std::string out(kReplySignature, 4);
    PutLittle(out, static_cast<uint64_t>(result), 8);
    return out;
}

std::optional<int64_t> DecodeBusReply(std::string_view bytes) {
    if (bytes.size() != kBusReplySize || std::memcmp(bytes.data(), kReplySignature, 4) != 0) return std::nullopt;
    return static_cast<int64_t>(GetLittle(bytes, 4, 8));
}

void BusRequestReader::Append(std::string_view bytes) {
    if (!bad_) buffer_.append(bytes);
}

BusRequestReader::Status BusRequestReader::Next(BusMessage& message, bool& wantsReply) {
    if (bad_) return Status::Bad;
    // The signature is checked as soon as it has arrived, so a stranger is
    // turned away before it can make the buffer grow.
    size_t signatureBytes = std::min<size_t>(buffer_.size(), 4);
    if (std::memcmp(buffer_.data(), kRequestSignature, signatureBytes) != 0) bad_ = true;
    if (!bad_ && buffer_.size() >= kBusHeaderSize) {
        uint32_t flags = static_cast<uint32_t>(GetLittle(buffer_, 8, 4));
        uint64_t count = GetLittle(buffer_, 28, 4);
        if ((flags & ~kFlagWantsReply) != 0 || count > kMaxCopyDataBytes) bad_ = true;
    }
    if (bad_) {
        buffer_.clear();
        buffer_.shrink_to_fit();
        return Status::Bad;
    }
    if (buffer_.size() < kBusHeaderSize) return Status::NeedMore;
    size_t count = static_cast<size_t>(GetLittle(buffer_, 28, 4));
    if (buffer_.size() < kBusHeaderSize + count) return Status::NeedMore;
    message.message = static_cast<uint32_t>(GetLittle(buffer_, 4, 4));
    wantsReply = (GetLittle(buffer_, 8, 4) & kFlagWantsReply) != 0;
    message.wParam = GetLittle(buffer_, 12, 8);
    message.dwData = GetLittle(buffer_, 20, 8);
    message.data.assign(buffer_, kBusHeaderSize, count);
    buffer_.erase(0, kBusHeaderSize + count);
    return Status::Complete;
}

}  // namespace kinolux
