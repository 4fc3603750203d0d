#pragma once

#include <string>

namespace konfigor {

// The C library's text for an error number (errno), as messages quote it. Thread-safe, unlike
// strerror.
std::string systemErrorText(int errorNumber);

} // namespace konfigor
