// The private clipboard block may come from any program: the reader must refuse or take any byte
// sequence without reading past it, and what it takes must survive being written and read again.
#include "sheet/clipboard_block.h"
#include "sheet/clipboard_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace block = konfigor::clipboard_block;

void require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<std::vector<konfigor::RemoteEntry>> records =
        block::decode(std::span(data, size));
    if (!records)
        return 0;
    require(records->size() <= konfigor::kRemoteSlotCount);
    require(block::kCountSize + records->size() * block::kRecordSize <= size);

    const std::vector<std::uint8_t> written = block::encode(*records);
    require(written.size() == block::kBlockSize);
    require(block::decode(written) == records);
    for (const konfigor::RemoteEntry& remote : *records)
        require(!konfigor::clipboard_text::line(remote).empty());
    return 0;
}
