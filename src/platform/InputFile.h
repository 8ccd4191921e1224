#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace tessary {

// A source file opened for reading, read sequentially in large blocks. Unbuffered: every
// read goes straight into the caller's buffer. Errors raise FileError.
class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const std::string& path() const { return path_; }
    // The size when the file was opened.
    uint64_t size() const { return size_; }
    uint64_t position() const { return position_; }

    // Reads up to `count` bytes; returns how many were read, 0 at the end of the file. Raises
    // FileError when the file ends before the size it had when it was opened.
    std::size_t read(uint8_t* buffer, std::size_t count);

private:
    std::string path_;
    std::FILE* file_ = nullptr;
    uint64_t size_ = 0;
    uint64_t position_ = 0;
};

} // namespace tessary
