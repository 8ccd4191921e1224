#include "engine/BlockReader.h"

#include <system_error>

#include "platform/InputFile.h"

namespace tessary {

BlockReader::BlockReader(InputFile& file, std::size_t blockSize, bool readAhead) : file_(file) {
    for (Slot& slot : slots_)
        slot.bytes.resize(blockSize);
    if (!readAhead) return;
    try {
        thread_ = std::thread([this] { this->readAhead(); });
    } catch (const std::system_error&) {
        // No thread to be had: the blocks are read in turn.
    }
}

BlockReader::~BlockReader() {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void BlockReader::fill(Slot& slot) {
    slot.length = 0;
    slot.start = file_.position();
    slot.error = nullptr;
    if (file_.position() >= file_.size()) return;
    try {
        slot.length = file_.read(slot.bytes.data(), slot.bytes.size());
    } catch (...) {
        slot.error = std::current_exception();
    }
}

void BlockReader::readAhead() {
    for (std::size_t index = 0;; ++index) {
        Slot& slot = slots_[index % slots_.size()];
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stop_ || !slot.filled; });
            if (stop_) return;
        }
        fill(slot);
        const bool last = slot.length == 0 || slot.error;
        {
            const std::lock_guard lock(mutex_);
            slot.filled = true;
        }
        changed_.notify_all();
        if (last) return;
    }
}

BlockReader::Block BlockReader::next() {
    if (ended_) return {};
    Slot& slot = slots_[taken_ % slots_.size()];
    if (!thread_.joinable()) {
        fill(slot);
    } else {
        std::unique_lock lock(mutex_);
        if (held_ >= 0) {
            slots_[static_cast<std::size_t>(held_)].filled = false;
            held_ = -1;
            changed_.notify_all();
        }
        changed_.wait(lock, [&] { return slot.filled; });
        held_ = static_cast<int>(taken_ % slots_.size());
    }
    ++taken_;
    if (slot.error) {
        ended_ = true;
        std::rethrow_exception(slot.error);
    }
    if (slot.length == 0) {
        ended_ = true;
        return {};
    }
    return {slot.bytes.data(), slot.length, slot.start};
}

} // namespace tessary
