#include "joiner/movie_object_writer.h"

#include "joiner/bit_writer.h"

namespace joiner {

namespace {

// A navigation command of the branch group with one immediate operand.
struct BranchCommand {
    uint32_t subGroup;  // 1 jump, 2 play
    uint32_t option;    // jump: 1 JumpTitle; play: 0 PlayPL
    uint32_t operand;
};

constexpr BranchCommand kJumpToTitle1{1, 1, 1};
constexpr BranchCommand kPlayPlaylist0{2, 0, 0};

void WriteCommand(const BranchCommand& command, BitWriter& out) {
    out.Put(3, 1);  // one operand
    out.Put(2, 0);  // branch group
    out.Put(3, command.subGroup);
    out.Put(1, 1);  // the operand is immediate
    out.Put(1, 0);
    out.Put(2, 0);
    out.Put(4, command.option);
    out.Put(4, 0);
    out.Put(4, 0);  // no comparison
    out.Put(3, 0);
    out.Put(5, 0);  // no set option
    out.Put(32, command.operand);
    out.Put(32, 0);
}

void WriteObject(bool resumable, const BranchCommand& command, BitWriter& out) {
    out.Put(1, resumable ? 1 : 0);
    out.Put(1, 0);  // menu call allowed
    out.Put(1, 0);  // title search allowed
    out.Put(13, 0);
    out.Put(16, 1);  // one command
    WriteCommand(command, out);
}

}  // namespace

std::vector<uint8_t> MovieObjectFile() {
    BitWriter out;
    out.PutBytes("MOBJ0200");
    out.Put(32, 0);  // no extension data
    out.PutZeroBytes(28);
    const size_t length = out.BeginLength(32);
    out.Put(32, 0);
    out.Put(16, 2);
    WriteObject(false, kJumpToTitle1, out);  // kFirstPlaybackObject
    WriteObject(true, kPlayPlaylist0, out);  // kTitleObject
    out.EndLength(length, 32);
    return out.Bytes();
}

}  // namespace joiner
