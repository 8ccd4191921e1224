#include "platform/OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/FileError.h"

namespace tessary {

namespace {

std::string reason(int error) {
    return std::strerror(error != 0 ? error : EIO);
}

class DiskOutputFile : public OutputFile {
public:
    DiskOutputFile(std::FILE* file, std::string path, std::size_t bufferSize)
        : file_(file), path_(std::move(path)), capacity_(bufferSize) {}
    // An output that was not closed keeps what was appended, as far as it can be written.
    ~DiskOutputFile() override {
        if (!file_) return;
        if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
        std::fclose(file_);
    }

    void append(const uint8_t* data, std::size_t length) override {
        if (length == 0) return;
        if (buffer_.size() + length > capacity_) {
            flush();
            // A piece as large as the buffer goes straight to the file.
            if (length >= capacity_) {
                write(data, length);
                return;
            }
        }
        if (buffer_.capacity() < capacity_) buffer_.reserve(capacity_);
        buffer_.insert(buffer_.end(), data, data + length);
    }

    void writeAt(uint64_t offset, const uint8_t* data, std::size_t length) override {
        flush();
        seek(offset, SEEK_SET);
        write(data, length);
        seek(0, SEEK_END);
    }

    void close() override {
        if (!file_) return;
        flush();
        std::FILE* file = file_;
        file_ = nullptr;
        errno = 0;
        if (std::fclose(file) != 0) fail(errno);
    }

private:
    void flush() {
        if (buffer_.empty()) return;
        write(buffer_.data(), buffer_.size());
        buffer_.clear();
    }
    void write(const uint8_t* data, std::size_t length) {
        if (!file_) fail(EBADF);
        errno = 0;
        if (std::fwrite(data, 1, length, file_) != length) fail(errno);
    }
    void seek(uint64_t offset, int origin) {
        if (!file_) fail(EBADF);
        errno = 0;
#ifdef _WIN32
        const int failed = _fseeki64(file_, static_cast<__int64>(offset), origin);
#else
        const int failed = fseeko(file_, static_cast<off_t>(offset), origin);
#endif
        if (failed != 0) fail(errno);
    }
    [[noreturn]] void fail(int error) const {
        throw FileError("Stream write error: \"" + path_ + "\". " + reason(error));
    }

    std::FILE* file_;
    std::string path_;
    std::size_t capacity_;
    std::vector<uint8_t> buffer_;
};

} // namespace

void closeAfterError(OutputFile& file) noexcept {
    try {
        file.close();
    } catch (...) {
    }
}

void writeWholeFile(OutputFiles& files, const std::string& path, std::string_view text) {
    const std::unique_ptr<OutputFile> file = files.create(path);
    try {
        file->append(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    } catch (...) {
        closeAfterError(*file);
        throw;
    }
    file->close();
}

std::unique_ptr<OutputFile> DiskOutputFiles::create(const std::string& path) {
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw FileError("Cannot create file \"" + path + "\". " + reason(errno));
    std::setvbuf(file, nullptr, _IONBF, 0);
    return std::make_unique<DiskOutputFile>(file, path, bufferSize_);
}

} // namespace tessary
