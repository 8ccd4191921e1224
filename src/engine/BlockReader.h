#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace tessary {

class InputFile;

// Reads a source file in blocks for a pass, the next block read ahead on a thread of its own
// while the pass works on the one before: the copy out of the system's cache and the work on
// the bytes run side by side. Blocks come in file order up to the first that reaches the size
// the file had when it was opened; errors of the file (a read error, a file that shrank) are
// raised when the pass reaches the block they stopped. Where no thread can be started the
// blocks are read in turn.
class BlockReader {
public:
    struct Block {
        uint8_t* data = nullptr; // writable: Rebuild changes packs in place
        std::size_t length = 0;  // 0: the end of the file
        uint64_t start = 0;      // the file offset of the first byte
    };

    BlockReader(InputFile& file, std::size_t blockSize, bool readAhead = true);
    ~BlockReader();
    BlockReader(const BlockReader&) = delete;
    BlockReader& operator=(const BlockReader&) = delete;

    // The next block; it stays valid until the next call.
    Block next();
    bool readsAhead() const { return thread_.joinable(); }

private:
    struct Slot {
        std::vector<uint8_t> bytes;
        std::size_t length = 0;
        uint64_t start = 0;
        std::exception_ptr error;
        bool filled = false;
    };
    // Reads one block into the slot (length 0 past the end), the error kept for the pass.
    void fill(Slot& slot);
    void readAhead();

    InputFile& file_;
    std::array<Slot, 2> slots_;
    std::size_t taken_ = 0; // blocks handed to the pass
    int held_ = -1;         // the slot the pass holds
    bool ended_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace tessary
