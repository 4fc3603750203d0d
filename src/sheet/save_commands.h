#pragma once

namespace konfigor {

// The two save commands, run exactly as if their tool buttons were clicked. They ask their own
// questions, report their own errors and set the save flags themselves.
class SaveCommands {
public:
    virtual ~SaveCommands() = default;

    // "Zapisz do pliku"
    virtual void runSaveToFile() = 0;
    // "Zapisz do odbiornika"
    virtual void runSaveToReceiver() = 0;
    // A transfer's progress dialog is still open: the write it started goes on in the background.
    virtual bool isTransferDialogVisible() const = 0;
};

} // namespace konfigor
