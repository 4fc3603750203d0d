#include "gui/widgets/cp1250_validator.h"

#include "common/codepage1250.h"

#include <algorithm>

namespace konfigor {

Cp1250Validator::Cp1250Validator(QObject* parent) : QValidator(parent) {}

QValidator::State Cp1250Validator::validate(QString& input, int& /*position*/) const {
    // A lone surrogate comes out of toUcs4() as U+FFFD, which the code page refuses too.
    const QList<uint> codePoints = QStringView(input).toUcs4();
    const bool storable = std::all_of(codePoints.begin(), codePoints.end(), [](uint codePoint) {
        return cp1250::encode(static_cast<char32_t>(codePoint)).has_value();
    });
    return storable ? Acceptable : Invalid;
}

} // namespace konfigor
