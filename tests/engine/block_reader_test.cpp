// The blocks of a pass, read ahead on a thread or in turn, or scanned by two threads taking
// turns: the same blocks in file order, the file's errors where the pass reaches them, and an
// early stop that leaves nothing waiting.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "TempDir.h"
#include "engine/BlockReader.h"
#include "engine/TurnTakingScan.h"
#include "platform/FileError.h"
#include "platform/InputFile.h"

using namespace tessary;
using namespace tessary::test;

TEST(BlockReader, GivesTheFilesBlocksInOrderAndItsErrorsWhereTheyAreReached) {
    constexpr std::size_t kBlock = 4096;
    std::vector<uint8_t> bytes(kBlock * 5 + 100);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 13 + i / 4096);
    for (const bool ahead : {true, false}) {
        SCOPED_TRACE(ahead ? "read ahead" : "in turn");
        TempDir dir;
        const std::string path = dir.writeFile("A.EVO", bytes).string();
        {
            InputFile file(path);
            // Three blocks kept at a time, released two behind, as a writer releases them.
            BlockReader reader(file, kBlock, 3, ahead);
            EXPECT_EQ(reader.readsAhead(), ahead);
            std::vector<uint8_t> read;
            std::vector<BlockReader::Block> kept;
            for (BlockReader::Block block = reader.next(); block.length > 0;
                 block = reader.next()) {
                EXPECT_EQ(block.start, read.size());
                read.insert(read.end(), block.data, block.data + block.length);
                kept.push_back(block);
                if (kept.size() == 3) {
                    reader.release(kept.front());
                    kept.erase(kept.begin());
                }
            }
            EXPECT_TRUE(read == bytes);
            EXPECT_EQ(reader.next().length, 0u); // and stays at the end
        }
        {
            // Cut short after it was opened: the blocks before the cut come first.
            InputFile file(path);
            std::filesystem::resize_file(path, kBlock + 10);
            BlockReader reader(file, kBlock, 2, ahead);
            BlockReader::Block block = reader.next();
            EXPECT_EQ(block.length, kBlock);
            reader.release(block);
            block = reader.next();
            EXPECT_EQ(block.length, 10u);
            reader.release(block);
            try {
                reader.next();
                ADD_FAILURE() << "no error";
            } catch (const FileError& error) {
                EXPECT_EQ(std::string(error.what()), "A.EVO shrank while it was read: 4106 of " +
                                                         std::to_string(bytes.size()) + " bytes");
            }
        }
        {
            // A pass that stops after its first block leaves the reader behind it.
            std::filesystem::resize_file(path, bytes.size());
            InputFile file(path);
            BlockReader reader(file, kBlock, 2, ahead);
            EXPECT_EQ(reader.next().length, kBlock);
        }
    }
}

namespace {

// Keeps what a turn-taking scan hands over; throws at the block that starts at `throwAt`.
class ScanRecorder : public TurnTakingScan::Work {
public:
    bool scan(const TurnTakingScan::Block& block) override {
        if (block.start == throwAt) throw std::runtime_error("scan failed");
        EXPECT_EQ(block.start, bytes.size());
        bytes.insert(bytes.end(), block.data, block.data + block.length);
        return ++scans < stopAfter;
    }
    void callerTurn(const TurnTakingScan::Block& block) override {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        callerStarts.push_back(block.start);
    }

    std::vector<uint8_t> bytes;
    std::vector<uint64_t> callerStarts;
    int scans = 0;
    int stopAfter = 1000;
    uint64_t throwAt = UINT64_MAX;
    std::thread::id caller = std::this_thread::get_id();
};

} // namespace

TEST(TurnTakingScan, ScansTheBlocksInOrderAndRaisesErrorsOnTheCallerWhereTheyAreReached) {
    constexpr std::size_t kBlock = 4096;
    std::vector<uint8_t> bytes(kBlock * 5 + 100);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 13 + i / 4096);
    TempDir dir;
    const std::string path = dir.writeFile("A.EVO", bytes).string();
    {
        InputFile file(path);
        ScanRecorder work;
        TurnTakingScan::run(file, kBlock, work);
        EXPECT_TRUE(work.bytes == bytes);
        // The calling thread serves the program before each block of its own.
        EXPECT_EQ(work.callerStarts, (std::vector<uint64_t>{0, 2 * kBlock, 4 * kBlock}));
    }
    {
        // A scan that stops, and one that fails on the other thread.
        InputFile file(path);
        ScanRecorder stopped;
        stopped.stopAfter = 2;
        TurnTakingScan::run(file, kBlock, stopped);
        EXPECT_EQ(stopped.scans, 2);
        ScanRecorder failing;
        failing.throwAt = 3 * kBlock;
        EXPECT_THROW(TurnTakingScan::run(file, kBlock, failing), std::runtime_error);
        EXPECT_EQ(failing.bytes.size(), 3 * kBlock);
    }
    // Cut short after it was opened, inside a block or at its end: the blocks before the cut
    // are scanned first.
    for (const std::size_t cut : {kBlock + 10, 2 * kBlock}) {
        std::filesystem::resize_file(path, bytes.size());
        InputFile file(path);
        std::filesystem::resize_file(path, cut);
        ScanRecorder work;
        try {
            TurnTakingScan::run(file, kBlock, work);
            ADD_FAILURE() << "no error";
        } catch (const FileError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "A.EVO shrank while it was read: " + std::to_string(cut) + " of " +
                          std::to_string(bytes.size()) + " bytes");
        }
        EXPECT_EQ(work.bytes.size(), cut);
    }
}
