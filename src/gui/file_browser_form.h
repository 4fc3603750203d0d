#pragma once

#include <QDialog>

class QFileSystemModel;
class QListWidget;
class QPushButton;
class QSplitter;
class QTreeView;

namespace konfigor {

class SearchFolderList;
class TextTable;

// "Wybierz elementy do wyszukiwania opisu dla nastaw": a tree of the computer's folders and
// settings files on the left, the chosen ones on the right. The list's rules (no overlaps,
// their warnings) are SearchFolderList's; the dialog shows the list and hands it the user's
// actions. Created once and reused.
class TFileBrowserForm : public QDialog {
    Q_OBJECT

public:
    // The list panel never takes more of the client width than this.
    static constexpr double kListShareLimit = 0.8;
    // The add and remove buttons sit this far above and below the middle of the splitter.
    static constexpr int kButtonsFromMiddle = 4;

    explicit TFileBrowserForm(const TextTable& texts, QWidget* parent = nullptr);

    // Modal over the list already opened; true for OK. Cancel leaves the list's changes to be
    // dropped by the caller.
    bool choose(SearchFolderList& list);

    // Shows the list and enables OK as it says; for the dialog opened by other means.
    void showList(SearchFolderList& list);
    // Selects the tree's item for the path, expanding the folders above it; false when the
    // tree does not show it.
    bool selectInTree(const QString& path);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ButtonAddClick();
    void ButtonDelClick();
    void ButtonClearClick();
    void refreshList();
    void limitListPanel();

    SearchFolderList* list_ = nullptr;
    QFileSystemModel* model_ = nullptr;
    QTreeView* tree_ = nullptr;
    QListWidget* listBox_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QWidget* listPanel_ = nullptr;
    QPushButton* buttonOk_ = nullptr;
};

} // namespace konfigor
