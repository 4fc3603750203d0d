#include "common/system_error.h"

#include <system_error>

namespace konfigor {

std::string systemErrorText(int errorNumber) {
    return std::generic_category().message(errorNumber);
}

} // namespace konfigor
