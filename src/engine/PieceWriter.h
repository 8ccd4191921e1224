#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/OutputFile.h"

namespace tessary {

// The pieces a block gives one output file.
struct PieceAppend {
    OutputFile* file = nullptr;
    std::vector<OutputPiece> pieces;
};

// Writes what a pass's blocks give its outputs on a thread of its own, in the order given,
// while the pass goes on with the next block: the copy into the system's cache runs beside
// the work on the bytes. The pieces stay where they lie until written; `written` tells when
// (to release their block). The first write error is kept and raised on the pass's thread by
// `check` or `finish`; nothing more is written after it. Where no thread can be started, or
// none is wanted, each submission is written at once.
class PieceWriter {
public:
    explicit PieceWriter(bool threaded = true);
    // Waits for the write at hand; what was not written yet is dropped.
    ~PieceWriter();
    PieceWriter(const PieceWriter&) = delete;
    PieceWriter& operator=(const PieceWriter&) = delete;

    // `written` runs after the appends (and all before them) were written or dropped for an
    // error, on the writing thread.
    void submit(std::vector<PieceAppend> appends, std::function<void()> written = {});
    // Raises the first write error met so far.
    void check();
    // Waits until everything submitted is written, then raises the first write error.
    void finish();

private:
    struct Job {
        std::vector<PieceAppend> appends;
        std::function<void()> written;
    };
    void write(Job& job);
    void run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    bool busy_ = false;
    bool stop_ = false;
    std::exception_ptr error_;
    std::thread thread_;
};

} // namespace tessary
