#include "platform/InputFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#if !defined(_WIN32)
#include <unistd.h>
#endif
#if !defined(_WIN32) && !defined(__APPLE__)
#include <fcntl.h>
#endif

#include "platform/FileError.h"
#include "platform/Paths.h"

namespace tessary {

namespace {

std::string openError(const std::string& path, int error) {
    return "Cannot open file \"" + path + "\". " + std::strerror(error);
}

} // namespace

InputFile::InputFile(const std::string& path) : path_(path) {
    // Only a regular file is opened: a FIFO would block the open, a device or a folder has
    // no size to read to. A missing file gets the open's own reason below.
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (std::filesystem::is_directory(status)) throw FileError(openError(path, EISDIR));
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        throw FileError("Cannot open file \"" + path + "\". Not a regular file");
    errno = 0;
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) throw FileError(openError(path, errno ? errno : ENOENT));
    std::setvbuf(file_, nullptr, _IONBF, 0);
#if !defined(_WIN32) && !defined(__APPLE__)
    // Read from start to end: the system may read further ahead.
    ::posix_fadvise(::fileno(file_), 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) {
        std::fclose(file_);
        file_ = nullptr;
        throw FileError(openError(path, ec.value()));
    }
    size_ = size;
}

InputFile::~InputFile() {
    if (file_) std::fclose(file_);
}

std::size_t InputFile::read(uint8_t* buffer, std::size_t count) {
    const std::size_t got = std::fread(buffer, 1, count, file_);
    if (got < count && std::ferror(file_)) throw FileError("Stream read error");
    position_ += got;
    // A file cut short by another program while it is read ends early: what was read of it
    // is not the file that was opened.
    if (got == 0 && count > 0 && position_ < size_) raiseShrank(position_);
    return got;
}

void InputFile::raiseShrank(uint64_t position) const {
    throw FileError(namePart(path_) + " shrank while it was read: " + std::to_string(position) +
                    " of " + std::to_string(size_) + " bytes");
}

std::size_t InputFile::readSome(uint64_t offset, uint8_t* buffer, std::size_t count) {
#if defined(_WIN32)
    const std::lock_guard lock(seekMutex_);
    if (_fseeki64(file_, static_cast<long long>(offset), SEEK_SET) != 0)
        throw FileError("Stream read error");
    const std::size_t got = std::fread(buffer, 1, count, file_);
    if (got < count && std::ferror(file_)) throw FileError("Stream read error");
    return got;
#else
    for (;;) {
        const ssize_t got = ::pread(::fileno(file_), buffer, count, static_cast<off_t>(offset));
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) throw FileError("Stream read error");
    }
#endif
}

std::size_t InputFile::readAt(uint64_t offset, uint8_t* buffer, std::size_t count) {
    std::size_t total = 0;
    while (total < count) {
        const std::size_t got = readSome(offset + total, buffer + total, count - total);
        if (got == 0) break;
        total += got;
    }
    return total;
}

} // namespace tessary
