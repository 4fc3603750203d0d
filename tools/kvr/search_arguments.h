#pragma once

#include "kvr/kvr_arguments.h"

#include <optional>
#include <span>
#include <string_view>

namespace konfigor::kvr {

// The arguments of match, find and diff; nothing for any other command. diff's sides keep the
// order they were given in, --port among them.
std::optional<ParsedArguments> parseSearchCommand(std::string_view command,
                                                  std::span<const std::string_view> words);

} // namespace konfigor::kvr
