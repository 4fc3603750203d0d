#pragma once

#include <string_view>

#include <QString>

namespace konfigor {

// The core's texts are UTF-8; this is where they become Qt's.
inline QString toQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace konfigor
