#include "gui/widgets/dialog_buttons.h"

#include "gui/qt_text.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace konfigor {

OkCancelRow okCancelRow(QDialog& dialog, bool okAccepts) {
    OkCancelRow row{.ok = new QPushButton(&dialog),
                    .cancel = new QPushButton(&dialog),
                    .layout = new QHBoxLayout};
    row.ok->setObjectName(QStringLiteral("ButtonOk"));
    row.ok->setDefault(true);
    if (okAccepts)
        QObject::connect(row.ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    row.cancel->setObjectName(QStringLiteral("ButtonCancel"));
    QObject::connect(row.cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    row.layout->addStretch(1);
    row.layout->addWidget(row.ok);
    row.layout->addWidget(row.cancel);
    return row;
}

void fillEmptyCaption(QWidget& window, const char* objectName, const std::string& caption) {
    auto* button = window.findChild<QPushButton*>(QString::fromLatin1(objectName));
    if (button && button->text().isEmpty())
        button->setText(toQString(caption));
}

} // namespace konfigor
