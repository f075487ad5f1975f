#include "binaryfile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "fileerror.h"

namespace fs = std::filesystem;

TEST(BinaryFile, ReadsBytesAtOneBasedPositionsAndRefusesPositionsPastTheEnd) {
    fs::path p = fs::temp_directory_path() / ("fretlyn_bin_" + std::to_string(::getpid()));
    {
        std::ofstream out(p, std::ios::binary);
        out << std::string("\x01\x02\x63\xff", 4);
    }
    BinaryFile f;
    f.Open(p.string());
    EXPECT_EQ(f.Size(), 4u);
    EXPECT_EQ(f.ByteAt(1), 1);
    EXPECT_EQ(f.ByteAt(3), 99);
    EXPECT_EQ(f.ByteAt(4), 255);
    EXPECT_EQ(f.BytesAt(2, 3), std::string_view("\x02\x63\xff", 3));
    EXPECT_THROW(f.ByteAt(0), std::runtime_error);
    EXPECT_THROW(f.ByteAt(5), std::runtime_error);
    EXPECT_THROW(f.BytesAt(3, 3), std::runtime_error);
    // Up to a count: fewer where the file ends, none past it.
    char some[4] = {};
    EXPECT_EQ(f.ReadUpTo(3, some, 4), 2u);
    EXPECT_EQ(std::string_view(some, 2), std::string_view("\x63\xff", 2));
    EXPECT_EQ(f.ReadUpTo(5, some, 4), 0u);
    EXPECT_EQ(f.ReadUpTo(1, some, 4), 4u);
    EXPECT_THROW(f.ReadUpTo(0, some, 1), std::runtime_error);

    BinaryFile moved = std::move(f);
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(moved.ByteAt(2), 2);
    moved.Close();
    moved.Close();
    EXPECT_THROW(moved.ByteAt(1), std::runtime_error);
    fs::remove(p);
}

TEST(BinaryFile, MissingFileIsNamedInTheError) {
    BinaryFile f;
    try {
        f.Open("/nonexistent/data/cxgrd.dat");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("cxgrd.dat"), std::string::npos);
    }
    EXPECT_FALSE(f.IsOpen());
}

TEST(BinaryFile, AFileShortenedWhileOpenIsTooShortNotAFault) {
    fs::path p = fs::temp_directory_path() / ("fretlyn_short_" + std::to_string(::getpid()));
    {
        std::ofstream out(p, std::ios::binary);
        out << std::string(8192, '\x07');
    }
    BinaryFile f;
    f.Open(p.string());
    EXPECT_EQ(f.ByteAt(8192), 7);
    // A tariff update writes the file anew in place, shorter than before.
    fs::resize_file(p, 100);
    EXPECT_EQ(f.Size(), 100u);
    EXPECT_EQ(f.ByteAt(100), 7);
    try {
        f.ByteAt(5000);
        ADD_FAILURE() << "read past the end of the shortened file";
    } catch (const FileError& e) {
        EXPECT_EQ(e.number(), FileError::kInputPastEnd);
        const std::string m = e.what();
        EXPECT_NE(m.find(p.string() + " is too short"), std::string::npos) << m;
        EXPECT_NE(m.find("(100 bytes)"), std::string::npos) << m;
    }
    EXPECT_THROW(f.BytesAt(99, 3), FileError);
    // One byte is one byte, in the count past the end and in the file's size alike.
    fs::resize_file(p, 1);
    try {
        f.ByteAt(2);
        ADD_FAILURE() << "read past the end of a one-byte file";
    } catch (const FileError& e) {
        const std::string m = e.what();
        EXPECT_NE(m.find("too short: 1 byte at position 2 is past its end (1 byte)."),
                  std::string::npos)
            << m;
    }
    fs::resize_file(p, 100);
    // Grown again, the new bytes are read as they are now.
    {
        std::ofstream out(p, std::ios::binary | std::ios::app);
        out << std::string(10, '\x2a');
    }
    EXPECT_EQ(f.ByteAt(110), 0x2a);
    fs::remove(p);
}

namespace {
// A byte that differs from its neighbours and from the same place one block on.
char PatternByte(size_t i, int version) {
    return static_cast<char>((i * 7 + i / 65536 + static_cast<size_t>(version) * 13) % 251);
}
void WritePattern(const fs::path& p, size_t size, int version) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = PatternByte(i, version);
    // In place, as a tariff update rewrites a file the program holds open.
    std::ofstream(p, std::ios::binary | std::ios::in | std::ios::out) << bytes;
}
}  // namespace

// A command that keeps the blocks it read reads the same bytes as one that asks the file each
// time, across blocks and up to the end; once it ends, the file is read as it is now.
TEST(BinaryFile, KeptBlocksReadTheFilesBytesForOneCommandOnly) {
    const fs::path p =
        fs::temp_directory_path() / ("fretlyn_blocks_" + std::to_string(::getpid()));
    constexpr size_t kSize = 200000;
    std::ofstream(p, std::ios::binary) << std::string(kSize, '\0');
    WritePattern(p, kSize, 1);
    BinaryFile f;
    f.Open(p.string());
    const auto expectVersion = [&](int version, const char* when) {
        for (const size_t at : {size_t{1}, size_t{65535}, size_t{65536}, size_t{65537},
                                size_t{131073}, kSize - 1, kSize})
            EXPECT_EQ(f.ByteAt(at), static_cast<uint8_t>(PatternByte(at - 1, version)))
                << when << " at " << at;
        std::string across;
        for (size_t i = 65530; i < 65550; ++i) across += PatternByte(i, version);
        EXPECT_EQ(f.BytesAt(65531, 20), across) << when;
        char tail[8] = {};
        EXPECT_EQ(f.ReadUpTo(kSize - 2, tail, 8), 3u) << when;
        EXPECT_EQ(tail[2], PatternByte(kSize - 1, version)) << when;
        EXPECT_THROW(f.ByteAt(kSize + 1), FileError) << when;
    };
    {
        const BinaryFile::KeepBlocks command(f);
        expectVersion(1, "kept");
        {
            const BinaryFile::KeepBlocks inner(f);
            expectVersion(1, "kept twice");
        }
        // Rewritten in the middle of the command: the command reads on what it began with.
        WritePattern(p, kSize, 2);
        expectVersion(1, "kept, rewritten meanwhile");
    }
    expectVersion(2, "after the command");
    {
        const BinaryFile::KeepBlocks command(f);
        expectVersion(2, "the next command");
    }
    fs::remove(p);
}

TEST(BinaryFile, ASmallFileReadWholeIsRefusedNamedWhenItIsHuge) {
    fs::path p = fs::temp_directory_path() / ("fretlyn_huge_" + std::to_string(::getpid()));
    {
        std::ofstream out(p, std::ios::binary);
        out << "12 abc grids/grid001.dat\n";
    }
    EXPECT_EQ(ReadRegularFile(p.string(), "The note", 25), "12 abc grids/grid001.dat\n");
    EXPECT_THROW(ReadRegularFile(p.string(), "The note", 24), FileError);
    // A sparse gigabyte costs nothing to make, and would cost a start seconds and gigabytes.
    fs::resize_file(p, std::uintmax_t{1} << 30);
    try {
        ReadRegularFile(p.string(), "The note of the checked tariff files");
        FAIL() << "a gigabyte was read whole";
    } catch (const FileError& e) {
        const std::string what = e.what();
        EXPECT_NE(what.find("The note of the checked tariff files " + p.string()),
                  std::string::npos)
            << what;
        EXPECT_NE(what.find("larger than"), std::string::npos) << what;
    }
    fs::remove(p);
}
