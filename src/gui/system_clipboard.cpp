#include "gui/system_clipboard.h"

#include "gui/qt_text.h"
#include "sheet/clipboard_block.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace konfigor {

QString SystemClipboard::privateFormat() {
    // Qt's name for a clipboard format registered by name on Windows; elsewhere a plain MIME
    // type that says the same.
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"")
        .arg(toQString(clipboard_block::kFormatName));
}

void SystemClipboard::put(std::span<const std::uint8_t> privateBlock, std::string_view text) {
    auto* data = new QMimeData;
    data->setData(privateFormat(), QByteArray(reinterpret_cast<const char*>(privateBlock.data()),
                                              static_cast<qsizetype>(privateBlock.size())));
    data->setText(toQString(text));
    QGuiApplication::clipboard()->setMimeData(data);
}

std::optional<std::vector<std::uint8_t>> SystemClipboard::privateBlock() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(privateFormat()))
        return std::nullopt;
    const QByteArray bytes = data->data(privateFormat());
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

bool SystemClipboard::offersPrivateBlock() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasFormat(privateFormat());
}

} // namespace konfigor
