#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace tessary {

class InputFile;

// The blocks a writing pass keeps at once: one read ahead, one worked on and two being
// written.
inline constexpr std::size_t kBlocksInFlight = 4;

// Reads a source file in blocks for a pass, the next blocks read ahead on a thread of its own
// while the pass works on the ones before: the copy out of the system's cache and the work on
// the bytes run side by side. Blocks come in file order up to the first that reaches the size
// the file had when it was opened; errors of the file (a read error, a file that shrank) are
// raised when the pass reaches the block they stopped. A block's buffer is read into again
// only after it was released, which may happen on another thread (one that writes its bytes
// out). Where no thread can be started the blocks are read in turn.
class BlockReader {
public:
    struct Block {
        uint8_t* data = nullptr; // writable: Rebuild changes packs in place
        std::size_t length = 0;  // 0: the end of the file
        uint64_t start = 0;      // the file offset of the first byte
        int slot = -1;
    };

    BlockReader(InputFile& file, std::size_t blockSize, std::size_t blocks = 2,
                bool readAhead = true);
    // Every block handed out must have been released, or no longer be used.
    ~BlockReader();
    BlockReader(const BlockReader&) = delete;
    BlockReader& operator=(const BlockReader&) = delete;

    // The next block, kept for the caller until it releases it.
    Block next();
    void release(const Block& block);
    bool readsAhead() const { return thread_.joinable(); }

private:
    enum class State { Free, Filled, Held };
    struct Slot {
        std::vector<uint8_t> bytes;
        std::size_t length = 0;
        uint64_t start = 0;
        std::exception_ptr error;
        State state = State::Free;
    };
    // Reads one block into the slot (length 0 past the end), the error kept for the pass.
    void fill(Slot& slot);
    void readAhead();

    InputFile& file_;
    std::vector<Slot> slots_;
    std::size_t taken_ = 0; // blocks handed to the pass
    bool ended_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace tessary
