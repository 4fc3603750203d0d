#include "sheet/serial_word.h"

#include "texts/untranslated_texts.h"

namespace konfigor::serial_word {

std::string formatSerial(std::uint32_t word) {
    std::string text =
        isMulti(word) ? std::string(untranslated(Untranslated::MultiRemotePrefix)) : std::string();
    return text + std::to_string(serialNumber(word));
}

} // namespace konfigor::serial_word
