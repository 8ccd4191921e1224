#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tessary {

// A file that an operation writes from start to end. Appends are buffered; `close` writes
// what is left. Failures raise FileError with the system's reason.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    virtual void append(const uint8_t* data, std::size_t length) = 0;
    // Writes over bytes already appended, such as a header whose sizes are known only at the
    // end; appends go on at the end of the file.
    virtual void writeAt(uint64_t offset, const uint8_t* data, std::size_t length) = 0;
    virtual void close() = 0;
};

// Closes a file on the way out of a failed operation: the first error is the one shown, so
// one from the close is dropped.
void closeAfterError(OutputFile& file) noexcept;

class OutputFiles;

// Creates `path` holding `text` and closes it; a failure raises FileError and leaves the file
// closed with what was written.
void writeWholeFile(OutputFiles& files, const std::string& path, std::string_view text);

// Creates output files (an existing file of the name is emptied). The port lets tests make a
// create, a write or a close fail.
class OutputFiles {
public:
    virtual ~OutputFiles() = default;
    // Raises FileError "Cannot create file \"NAME\". REASON".
    virtual std::unique_ptr<OutputFile> create(const std::string& path) = 0;
};

// Files on disk, each written through a buffer of `bufferSize` bytes.
class DiskOutputFiles : public OutputFiles {
public:
    explicit DiskOutputFiles(std::size_t bufferSize = 262144) : bufferSize_(bufferSize) {}
    std::unique_ptr<OutputFile> create(const std::string& path) override;

private:
    std::size_t bufferSize_;
};

} // namespace tessary
