// Builds the big-endian, bit-packed records of the disc's navigation
// files. Fields are written most significant bit first; a length field is
// reserved first and filled in once what it measures has been written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace joiner {

class BitWriter {
public:
    // The low `bits` bits of `value` (at most 32).
    void Put(int bits, uint32_t value);
    void PutBytes(std::string_view bytes);
    void PutZeroBytes(size_t count);

    // Reserves a length field of `bits` (8, 16 or 32) at a byte boundary
    // and returns where it is; EndLength fills it with the number of bytes
    // written after it.
    size_t BeginLength(int bits);
    void EndLength(size_t field, int bits);
    // Overwrites the 32-bit field at byte `at` (an address known late).
    void Patch32(size_t at, uint32_t value);

    // Bytes written so far; only meaningful at a byte boundary.
    size_t Size() const { return bytes_.size(); }
    bool Aligned() const { return bitsUsed_ == 0; }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    int bitsUsed_ = 0;  // of the last byte
};

}  // namespace joiner
