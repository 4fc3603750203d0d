#include "sim/memory_image.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::Bytes;

class MemoryImageTest : public testing_support::TempFolderTest {};

Bytes patterned(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 13 + 5);
    return bytes;
}

TEST_F(MemoryImageTest, SavedImageLoadsBackAsTheSameMemory) {
    const auto file = path("memory.bin");
    writeBytes(file, patterned(ReceiverMemory::kSize));
    ReceiverMemory memory;
    ASSERT_EQ(memory_image::load(file, memory), std::nullopt);
    EXPECT_EQ(Bytes(memory.bytes().begin(), memory.bytes().end()),
              patterned(ReceiverMemory::kSize));

    const auto copy = path("copy.bin");
    ASSERT_EQ(memory_image::save(copy, memory), std::nullopt);
    EXPECT_EQ(readBytes(copy), patterned(ReceiverMemory::kSize));
}

TEST_F(MemoryImageTest, AnythingButAWholeImageIsRefusedAndChangesNothing) {
    struct Case {
        std::size_t size;
        std::string message;
    };
    const std::vector<Case> cases = {
        {0, "holds 0 bytes; a memory image has exactly 7072 bytes"},
        {ReceiverMemory::kSize - 1, "holds 7071 bytes; a memory image has exactly 7072 bytes"},
        {ReceiverMemory::kSize + 1, "holds 7073 bytes; a memory image has exactly 7072 bytes"},
        {3 * ReceiverMemory::kSize, "holds 21216 bytes; a memory image has exactly 7072 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const auto file = path("wrong.bin");
        writeBytes(file, patterned(c.size));
        ReceiverMemory memory;
        EXPECT_EQ(memory_image::load(file, memory), file.string() + " " + c.message);
        EXPECT_EQ(memory, ReceiverMemory());
    }
}

TEST_F(MemoryImageTest, MissingFilesAndFoldersAreNamed) {
    ReceiverMemory memory;
    const auto missing = path("missing.bin");
    EXPECT_EQ(memory_image::load(missing, memory),
              "cannot read " + missing.string() + ": No such file or directory");
    const auto nowhere = path("no folder") / "memory.bin";
    EXPECT_EQ(memory_image::save(nowhere, memory),
              "cannot write " + nowhere.string() + ": No such file or directory");
}

} // namespace
} // namespace konfigor
