// The blocks of a pass, read ahead on a thread or in turn: the same blocks in file order, the
// file's errors where the pass reaches them, and an early stop that leaves nothing waiting.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"
#include "engine/BlockReader.h"
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
