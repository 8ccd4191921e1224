#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/NewFolders.h"

namespace tessary {

// Bytes to append, borrowed for the length of the call.
struct OutputPiece {
    const uint8_t* data = nullptr;
    std::size_t length = 0;
};

// A file that an operation writes from start to end. Appends are buffered; `close` writes
// what is left. Failures raise FileError with the system's reason.
//
// The file is written under a temporary name in its folder and takes its own name at
// `commit`, once the whole run that writes it has succeeded: a run that fails or is cancelled
// leaves no part of a file under the name of a whole one, and a file of that name that was
// there before is replaced only by a complete one. A file destroyed without `commit` is
// removed.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    virtual void append(const uint8_t* data, std::size_t length) = 0;
    // Appends the pieces in order, as an `append` of each would.
    virtual void appendPieces(const OutputPiece* pieces, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            append(pieces[i].data, pieces[i].length);
    }
    // Writes over bytes already appended, such as a header whose sizes are known only at the
    // end; appends go on at the end of the file.
    virtual void writeAt(uint64_t offset, const uint8_t* data, std::size_t length) = 0;
    virtual void close() = 0;
    // Closes the file if it is open and gives it its name, replacing a file of that name.
    // Raises FileError when the file written is no longer where it was made (its folder was
    // removed or replaced) or cannot take its name.
    virtual void commit() = 0;
    // Where the bytes go until `commit`: the name to give a program that writes the file
    // itself, after `close`.
    virtual const std::string& writtenPath() const = 0;
};

// Commits each file in turn; the first failure is raised, and the files not yet committed
// are removed.
void commitAll(std::vector<std::unique_ptr<OutputFile>>& files);

// Closes a file on the way out of a failed operation: the first error is the one shown, so
// one from the close is dropped.
void closeAfterError(OutputFile& file) noexcept;

class OutputFiles;

// Creates `path` holding `text`, closes and commits it; a failure raises FileError and leaves
// no file of that name behind.
void writeWholeFile(OutputFiles& files, const std::string& path, std::string_view text);

// Creates output files. A name held by a folder or by a file that may not be written is
// refused at once; a file of the name is otherwise replaced at commit. The port lets tests
// make a create, a write or a close fail.
class OutputFiles {
public:
    virtual ~OutputFiles() = default;
    // Raises FileError "Cannot create file \"NAME\". REASON".
    virtual std::unique_ptr<OutputFile> create(const std::string& path) = 0;
    // Creates an output folder and the folders on the way to it that are missing, noting
    // them in `made`. Raises FileError "Cannot create folder ...".
    virtual void createFolder(const std::string& folder, NewFolders& made) { made.create(folder); }
};

// How a disk file takes appended pieces that add up to much: gathered into one system call
// straight from where they lie (POSIX writev), or copied through the file's buffer (the
// portable way, and the one for little).
enum class PieceWrites { Gathered, Buffered };

// Files on disk, each written through a buffer of `bufferSize` bytes.
class DiskOutputFiles : public OutputFiles {
public:
    explicit DiskOutputFiles(std::size_t bufferSize = 262144,
                             PieceWrites pieces = PieceWrites::Gathered)
        : bufferSize_(bufferSize), pieces_(pieces) {}
    std::unique_ptr<OutputFile> create(const std::string& path) override;

private:
    std::size_t bufferSize_;
    PieceWrites pieces_;
};

} // namespace tessary
