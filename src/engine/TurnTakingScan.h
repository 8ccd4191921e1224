#pragma once

#include <cstddef>
#include <cstdint>

namespace tessary {

class InputFile;

// A scan of a whole file on two threads that take turns: the calling thread takes blocks 0,
// 2, 4... and a second thread blocks 1, 3, 5..., each reading its block into a buffer of its
// own, then scanning it once the block before has been scanned. So the copying out of the
// system's cache is shared by both threads and each scan finds its bytes in the cache its own
// copy left them in; with one thread reading for the other, the reading thread was the bound
// and the scan read every byte from the other core's cache.
//
// The scans run one at a time, in file order, each seeing what the scans before it did; the
// calling thread's own turns are where the program around the scan is served (its log, its
// progress, its messages), since then no scan runs. Blocks come up to the first that reaches
// the size the file had when it was opened; errors of the file and of the scan are raised
// on the calling thread when the scan reaches the block they stopped. Where no thread can be
// started, the calling thread takes every block.
class TurnTakingScan {
public:
    struct Block {
        const uint8_t* data = nullptr;
        std::size_t length = 0;
        uint64_t start = 0; // the file offset of the first byte
    };

    class Work {
    public:
        virtual ~Work() = default;
        // Scans the next block, on either thread; false stops the run after it.
        virtual bool scan(const Block& block) = 0;
        // On the calling thread, before it scans a block of its own.
        virtual void callerTurn(const Block& block) = 0;
    };

    // Scans `file` from its position to its end in blocks of `blockSize` bytes.
    static void run(InputFile& file, std::size_t blockSize, Work& work);
};

} // namespace tessary
