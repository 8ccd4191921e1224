// Appended pieces reach the file in order, whether gathered into system calls from where they
// lie or copied through the buffer (the way where gathering is not available).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "TempDir.h"
#include "platform/OutputFile.h"

using namespace tessary;
using namespace tessary::test;

TEST(OutputFile, PiecesAreWrittenInOrderGatheredOrBuffered) {
    // More pieces than one system call takes, large and small, between plain appends.
    std::vector<uint8_t> source(1 << 20);
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<uint8_t>(i * 7 + i / 251);
    std::vector<OutputPiece> pieces;
    std::vector<uint8_t> expected = {'S', 'P'};
    for (std::size_t at = 0, size = 1; at + size <= source.size();
         at += size + 3, size = size % 900 + 1) {
        pieces.push_back({source.data() + at, size});
        expected.insert(expected.end(), source.begin() + static_cast<long>(at),
                        source.begin() + static_cast<long>(at + size));
    }
    ASSERT_GT(pieces.size(), 2048u); // more than two system calls take
    const std::vector<uint8_t> small(source.begin(), source.begin() + 100);
    expected.insert(expected.end(), small.begin(), small.end());
    expected.insert(expected.end(), small.begin(), small.end());

    for (const PieceWrites mode : {PieceWrites::Gathered, PieceWrites::Buffered}) {
        TempDir dir;
        const std::string path = dir.file("OUT.mpv").string();
        DiskOutputFiles files(4096, mode);
        {
            const auto file = files.create(path);
            file->append(expected.data(), 2);
            file->appendPieces(pieces.data(), pieces.size());
            file->appendPieces(std::vector<OutputPiece>{{small.data(), small.size()}}.data(), 1);
            file->append(small.data(), small.size());
            file->commit();
        }
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> written{std::istreambuf_iterator<char>(in), {}};
        EXPECT_TRUE(written == expected) << static_cast<int>(mode);
    }
}
