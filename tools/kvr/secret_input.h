#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace konfigor::kvr {

// One line from `fd` without its newline, read byte by byte so that a second line stays for the
// next call. When `fd` is a terminal, `prompt` goes to `promptOut` first and the terminal does
// not echo what is typed; its settings come back afterwards, also when the line ends in an error
// or a signal ends the program. Nothing when the input ended before a line, could not be read
// or held a line too long for a PIN.
std::optional<std::string> readSecretLine(int fd, std::ostream& promptOut, std::string_view prompt);

} // namespace konfigor::kvr
