#include "common/fixed_text.h"

#include <algorithm>
#include <cstring>

namespace konfigor::detail {

std::size_t fixedTextLength(const char* bytes, std::size_t maxLength) {
    // An empty string_view may carry a null pointer, which memchr must not see.
    if (maxLength == 0) {
        return 0;
    }
    const void* zero = std::memchr(bytes, '\0', maxLength);
    return zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - bytes)
                           : maxLength;
}

void storeFixedText(char* bytes, std::size_t size, std::string_view text) {
    const std::size_t length = fixedTextLength(text.data(), std::min(text.size(), size - 1));
    if (length > 0) {
        // memmove: the text may be a view into this very field.
        std::memmove(bytes, text.data(), length);
    }
    bytes[length] = '\0';
}

} // namespace konfigor::detail
