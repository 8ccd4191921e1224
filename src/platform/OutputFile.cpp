#include "platform/OutputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#endif

#include "platform/FileError.h"

namespace tessary {

namespace {

std::string reason(int error) {
    return std::strerror(error != 0 ? error : EIO);
}

[[noreturn]] void cannotCreate(const std::string& path, const std::string& why) {
    throw FileError("Cannot create file \"" + path + "\". " + why);
}

// Which file a path names, to tell later whether it still names the file written.
struct FileIdentity {
    uint64_t device = 0, inode = 0;
    bool known = false;
};

FileIdentity identityOf(const std::string& path) {
    FileIdentity identity;
#ifndef _WIN32
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        identity = {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino), true};
#else
    identity.known = std::filesystem::exists(path);
#endif
    return identity;
}

// Refuses a name that a file may not take: a folder or other non-file holds it, or a file
// of that name may not be written (it would be replaced by renaming, which its mode does not
// forbid).
void checkFinalName(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status)) return;
    if (fs::is_directory(status)) cannotCreate(path, std::strerror(EISDIR));
    if (!fs::is_regular_file(status)) cannotCreate(path, "Not a regular file");
#ifndef _WIN32
    if (::access(path.c_str(), W_OK) != 0) cannotCreate(path, reason(errno));
#endif
}

// Creates a new, empty file beside `path` under a name no file has yet.
std::FILE* createTemporary(const std::string& path, std::string& temporary) {
    for (int attempt = 0;; ++attempt) {
        temporary = path + ".part" + (attempt == 0 ? std::string() : std::to_string(attempt));
        errno = 0;
        if (std::FILE* file = std::fopen(temporary.c_str(), "wbx")) return file;
        if (errno != EEXIST || attempt == 999) cannotCreate(path, reason(errno));
    }
}

// The folder a temporary file was made in, held open so that the file can be removed from
// it even after the folder was moved away.
class HeldFolder {
public:
    explicit HeldFolder(const std::string& file) {
#ifndef _WIN32
        const std::string folder = std::filesystem::path(file).parent_path().string();
        fd_ = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
    }
    ~HeldFolder() {
#ifndef _WIN32
        if (fd_ >= 0) ::close(fd_);
#endif
    }
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

    void remove(const std::string& file) const {
#ifndef _WIN32
        if (fd_ >= 0) {
            ::unlinkat(fd_, std::filesystem::path(file).filename().c_str(), 0);
            return;
        }
#endif
        std::remove(file.c_str());
    }

private:
    int fd_ = -1;
};

class DiskOutputFile : public OutputFile {
public:
    DiskOutputFile(std::FILE* file, std::string path, std::string temporary, std::size_t bufferSize,
                   PieceWrites pieces)
        : file_(file), path_(std::move(path)), temporary_(std::move(temporary)),
          folder_(temporary_), identity_(identityOf(temporary_)), capacity_(bufferSize),
          pieces_(pieces) {}
    // A file never committed is removed, wherever its folder went: what it holds is not the
    // whole output.
    ~DiskOutputFile() override {
        if (file_) std::fclose(file_);
        if (!committed_) folder_.remove(temporary_);
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

    // Pieces adding up to a quarter of the buffer or more go to the file where they lie:
    // copying them through the buffer would cost more than the system call saves.
    void appendPieces(const OutputPiece* pieces, std::size_t count) override {
        std::size_t total = 0;
        for (std::size_t i = 0; i < count; ++i)
            total += pieces[i].length;
        if (pieces_ == PieceWrites::Buffered || total < capacity_ / 4) {
            OutputFile::appendPieces(pieces, count);
            return;
        }
        flush();
        writeGathered(pieces, count);
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

    void commit() override {
        if (committed_) return;
        close();
        const FileIdentity now = identityOf(temporary_);
        if (!now.known || now.device != identity_.device || now.inode != identity_.inode)
            cannotCreate(path_, "Its folder was removed or replaced while it was written");
        std::error_code error;
        std::filesystem::rename(temporary_, path_, error);
        if (error) cannotCreate(path_, error.message());
        committed_ = true;
    }

    const std::string& writtenPath() const override { return temporary_; }

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
    // The pieces in as few system calls as the system allows, resuming after a short write.
    void writeGathered(const OutputPiece* pieces, std::size_t count) {
#ifdef _WIN32
        for (std::size_t i = 0; i < count; ++i)
            write(pieces[i].data, pieces[i].length);
#else
        if (!file_) fail(EBADF);
        const int fd = ::fileno(file_);
        std::vector<iovec>& vectors = vectors_;
        vectors.clear();
        for (std::size_t i = 0; i < count; ++i)
            if (pieces[i].length > 0)
                vectors.push_back({const_cast<uint8_t*>(pieces[i].data), pieces[i].length});
        std::size_t first = 0;
        while (first < vectors.size()) {
            const int batch =
                static_cast<int>(std::min<std::size_t>(vectors.size() - first, IOV_MAX));
            const ssize_t written = ::writev(fd, vectors.data() + first, batch);
            if (written < 0) {
                if (errno == EINTR) continue;
                fail(errno);
            }
            if (written == 0) fail(EIO);
            // Past the vectors written whole, into the one written in part.
            auto left = static_cast<std::size_t>(written);
            while (first < vectors.size() && left >= vectors[first].iov_len)
                left -= vectors[first++].iov_len;
            if (left > 0) {
                vectors[first].iov_base = static_cast<uint8_t*>(vectors[first].iov_base) + left;
                vectors[first].iov_len -= left;
            }
        }
#endif
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
    std::string temporary_;
    HeldFolder folder_;
    FileIdentity identity_;
    bool committed_ = false;
    std::size_t capacity_;
    PieceWrites pieces_;
    std::vector<uint8_t> buffer_;
#ifndef _WIN32
    std::vector<iovec> vectors_;
#endif
};

} // namespace

void closeAfterError(OutputFile& file) noexcept {
    try {
        file.close();
    } catch (...) {
    }
}

void commitAll(std::vector<std::unique_ptr<OutputFile>>& files) {
    for (auto& file : files)
        try {
            file->commit();
        } catch (...) {
            for (auto& other : files)
                closeAfterError(*other);
            files.clear();
            throw;
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
    file->commit();
}

std::unique_ptr<OutputFile> DiskOutputFiles::create(const std::string& path) {
    checkFinalName(path);
    std::string temporary;
    std::FILE* file = createTemporary(path, temporary);
    std::setvbuf(file, nullptr, _IONBF, 0);
    return std::make_unique<DiskOutputFile>(file, path, std::move(temporary), bufferSize_, pieces_);
}

} // namespace tessary
