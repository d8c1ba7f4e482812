// A file of the folder being written; any failure to write it is a
// Failure with NX_ERROR_WRITE naming the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace joiner {

class OutputFile {
public:
    explicit OutputFile(const std::string& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Write(const uint8_t* bytes, size_t count);
    // Closes the file, reporting what a late write error says.
    void Close();

private:
    std::string path_;
    int fd_ = -1;
};

// Writes `bytes` as the whole file at `path`.
void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace joiner
