#include "engine/PieceWriter.h"

#include <system_error>

namespace tessary {

PieceWriter::PieceWriter(bool threaded) {
    if (!threaded) return;
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        // No thread to be had: submissions are written at once.
    }
}

PieceWriter::~PieceWriter() {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void PieceWriter::write(Job& job) {
    bool failed;
    {
        const std::lock_guard lock(mutex_);
        failed = error_ != nullptr;
    }
    if (!failed) try {
            for (PieceAppend& append : job.appends)
                append.file->appendPieces(append.pieces.data(), append.pieces.size());
        } catch (...) {
            const std::lock_guard lock(mutex_);
            error_ = std::current_exception();
        }
    if (job.written) job.written();
}

void PieceWriter::submit(std::vector<PieceAppend> appends, std::function<void()> written) {
    Job job{std::move(appends), std::move(written)};
    if (!thread_.joinable()) {
        write(job);
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    changed_.notify_all();
}

void PieceWriter::run() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stop_ || !jobs_.empty(); });
            if (stop_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
            busy_ = true;
        }
        write(job);
        {
            const std::lock_guard lock(mutex_);
            busy_ = false;
        }
        changed_.notify_all();
    }
}

void PieceWriter::check() {
    const std::lock_guard lock(mutex_);
    if (error_) std::rethrow_exception(error_);
}

void PieceWriter::finish() {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return jobs_.empty() && !busy_; });
    }
    check();
}

} // namespace tessary
