#pragma once

#include <cstdint>
#include <string_view>

class QWidget;

namespace konfigor {

class TextTable;
enum class Msg : std::uint16_t;

// Gives the controls of one window (found by objectName) the captions, hints, filters and
// list items that the text table holds for that window class, the keyed captions included. Controls
// not built yet are skipped, so a window may be filled in step by step.
void applyControlTexts(QWidget& window, std::string_view windowClass, const TextTable& texts);

// The same now, and again whenever the program's language changes (QEvent::LanguageChange).
void keepControlTexts(QWidget& window, std::string_view windowClass, const TextTable& texts);

// A control captioned with a message (a group titled like a grid column): the message now, and
// again whenever the program's language changes.
void keepMessageCaption(QWidget& control, Msg caption, const TextTable& texts);

} // namespace konfigor
