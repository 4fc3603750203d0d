#pragma once

#include <QValidator>

namespace konfigor {

// Refuses text holding a character that code page 1250 cannot store, so a description field
// turns such a character away as it is typed or pasted instead of saving it as '?'.
class Cp1250Validator : public QValidator {
    Q_OBJECT

public:
    explicit Cp1250Validator(QObject* parent = nullptr);

    State validate(QString& input, int& position) const override;
};

} // namespace konfigor
