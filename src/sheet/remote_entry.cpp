#include "sheet/remote_entry.h"

namespace konfigor {

void RemoteEntry::takeReceiverRecord(const RemoteRecord& record) {
    serialWord = record.serialField & ~RemoteRecord::kCopyLockBit;
    copyLock = (record.serialField & RemoteRecord::kCopyLockBit) != 0;
    codeCounter = record.counter;
    buttonMasks = unpackButtonMasks(record.buttonWord);
}

RemoteRecord RemoteEntry::toReceiverRecord() const {
    return {.serialField = serialWord | (copyLock ? RemoteRecord::kCopyLockBit : 0u),
            .counter = codeCounter,
            .counterCopy = codeCounter,
            .buttonWord = packButtonMasks(buttonMasks)};
}

} // namespace konfigor
