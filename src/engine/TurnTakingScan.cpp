#include "engine/TurnTakingScan.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "platform/InputFile.h"

namespace tessary {

namespace {

// How often a thread whose turn has not come looks again before it sleeps: at most for about
// as long as a block's scan takes, so that in a running scan the turn passes without a system
// call.
constexpr int kMaxPolls = 4096;
constexpr int kMinPolls = 16;

void pause() {
#if defined(__SSE2__) || defined(_M_X64)
    _mm_pause();
#else
    std::this_thread::yield();
#endif
}

class Turns {
public:
    Turns(InputFile& file, std::size_t blockSize, TurnTakingScan::Work& work)
        : file_(file), blockSize_(blockSize), origin_(file.position()), work_(work) {
        for (std::vector<uint8_t>& buffer : buffers_)
            buffer.resize(blockSize);
    }

    // Takes the blocks first, first + step, ... into buffer `thread` until the run stops.
    void take(uint64_t first, uint64_t step, int thread) {
        std::vector<uint8_t>& buffer = buffers_[static_cast<std::size_t>(thread)];
        const bool caller = thread == 0;
        int polling = kMaxPolls;
        for (uint64_t index = first;; index += step) {
            const uint64_t start = origin_ + index * blockSize_;
            std::size_t length = 0;
            std::exception_ptr readError;
            if (start < file_.size()) {
                try {
                    length = file_.readAt(start, buffer.data(), blockSize_);
                } catch (...) {
                    readError = std::current_exception();
                }
            }
            waitFor(index, polling);
            bool goOn = false;
            if (!stopped_) {
                const TurnTakingScan::Block block{buffer.data(), length, start};
                try {
                    if (readError) std::rethrow_exception(readError);
                    // A file cut short by another program while it is read ends early: what
                    // was read of it is not the file that was opened.
                    if (length == 0 && start < file_.size()) file_.raiseShrank(start);
                    if (length > 0) {
                        if (caller) work_.callerTurn(block);
                        goOn = work_.scan(block) && start + length < file_.size();
                        if (goOn && length < blockSize_) file_.raiseShrank(start + length);
                    }
                } catch (...) {
                    error_ = std::current_exception();
                    goOn = false;
                }
                stopped_ = !goOn;
            }
            turn_.store(index + 1, std::memory_order_release);
            turn_.notify_all();
            if (!goOn) return;
        }
    }

    void rethrowError() const {
        if (error_) std::rethrow_exception(error_);
    }

private:
    // Waits for the turn of block `index`, polling for as long as waits have lately taken
    // when the other thread ran: a wait that polls in vain halves the polling, since then the
    // other thread is not running (the machine is busy with other work), and polling would
    // take its place; a wait that ends while polling doubles it again.
    void waitFor(uint64_t index, int& polling) {
        for (int polls = 0;; ++polls) {
            const uint64_t now = turn_.load(std::memory_order_acquire);
            if (now == index) {
                if (polls > 0 && polls <= polling) polling = std::min(polling * 2, kMaxPolls);
                return;
            }
            if (polls < polling) {
                pause();
            } else {
                if (polls == polling) polling = std::max(polling / 2, kMinPolls);
                turn_.wait(now, std::memory_order_acquire);
            }
        }
    }

    InputFile& file_;
    const std::size_t blockSize_;
    const uint64_t origin_;
    TurnTakingScan::Work& work_;
    std::array<std::vector<uint8_t>, 2> buffers_;
    // The block whose scan is next. The rest is touched only by the thread whose turn it is,
    // the turn's hand-over ordering it.
    std::atomic<uint64_t> turn_{0};
    bool stopped_ = false;
    std::exception_ptr error_;
};

} // namespace

void TurnTakingScan::run(InputFile& file, std::size_t blockSize, Work& work) {
    Turns turns(file, blockSize, work);
    std::thread helper;
    try {
        helper = std::thread([&turns] { turns.take(1, 2, 1); });
    } catch (const std::system_error&) {
        // No thread to be had: the calling thread takes every block.
    }
    turns.take(0, helper.joinable() ? 2 : 1, 0);
    if (helper.joinable()) helper.join();
    turns.rethrowError();
}

} // namespace tessary
