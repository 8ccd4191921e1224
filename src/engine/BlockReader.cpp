#include "engine/BlockReader.h"

#include <system_error>

#include "platform/InputFile.h"

namespace tessary {

BlockReader::BlockReader(InputFile& file, std::size_t blockSize, std::size_t blocks, bool readAhead)
    : file_(file), slots_(blocks < 1 ? 1 : blocks) {
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
            changed_.wait(lock, [&] { return stop_ || slot.state == State::Free; });
            if (stop_) return;
        }
        fill(slot);
        const bool last = slot.length == 0 || slot.error;
        {
            const std::lock_guard lock(mutex_);
            slot.state = State::Filled;
        }
        changed_.notify_all();
        if (last) return;
    }
}

BlockReader::Block BlockReader::next() {
    if (ended_) return {};
    const std::size_t index = taken_ % slots_.size();
    Slot& slot = slots_[index];
    {
        std::unique_lock lock(mutex_);
        if (thread_.joinable()) {
            changed_.wait(lock, [&] { return slot.state == State::Filled; });
        } else {
            changed_.wait(lock, [&] { return slot.state == State::Free; });
            lock.unlock();
            fill(slot);
            lock.lock();
        }
        slot.state = State::Held;
    }
    ++taken_;
    if (slot.error || slot.length == 0) {
        ended_ = true;
        release({nullptr, 0, 0, static_cast<int>(index)});
        if (slot.error) std::rethrow_exception(slot.error);
        return {};
    }
    return {slot.bytes.data(), slot.length, slot.start, static_cast<int>(index)};
}

void BlockReader::release(const Block& block) {
    if (block.slot < 0) return;
    {
        const std::lock_guard lock(mutex_);
        slots_[static_cast<std::size_t>(block.slot)].state = State::Free;
    }
    changed_.notify_all();
}

} // namespace tessary
