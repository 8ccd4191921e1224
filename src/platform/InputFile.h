#pragma once

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

namespace tessary {

// A source file opened for reading, read in large blocks, in turn or at given offsets.
// Unbuffered: every read goes straight into the caller's buffer. Errors raise FileError.
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
    // Reads up to `count` bytes from `offset` without moving the position; safe to call from
    // several threads at once. Returns fewer only where the file ends.
    std::size_t readAt(uint64_t offset, uint8_t* buffer, std::size_t count);
    // Raises the FileError of a file that ended at `position`, before the size it had when it
    // was opened.
    [[noreturn]] void raiseShrank(uint64_t position) const;

private:
    std::size_t readSome(uint64_t offset, uint8_t* buffer, std::size_t count);

    std::string path_;
    std::FILE* file_ = nullptr;
    uint64_t size_ = 0;
    uint64_t position_ = 0;
#if defined(_WIN32)
    std::mutex seekMutex_; // without a positional read, a seek and its read go together
#endif
};

} // namespace tessary
