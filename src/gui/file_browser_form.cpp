#include "gui/file_browser_form.h"

#include "gui/control_texts.h"
#include "gui/qt_text.h"
#include "gui/widgets/dialog_buttons.h"
#include "gui/window_placement.h"
#include "search/search_folder_list.h"

#include <vector>

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

namespace konfigor {
namespace {

constexpr int kFileNameColumn = 0;

QPushButton* button(QWidget* parent, const char* objectName) {
    auto* pushButton = new QPushButton(parent);
    pushButton->setObjectName(QString::fromLatin1(objectName));
    return pushButton;
}

QLabel* title(QWidget* parent, const char* objectName) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(objectName));
    return label;
}

QString pathText(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

} // namespace

TFileBrowserForm::TFileBrowserForm(const TextTable& texts, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FileBrowserForm"));
    setModal(true);
    setSizeGripEnabled(true);

    // Folders and settings files only; a name filter of QFileSystemModel ignores letter case
    // unless told otherwise, and folders whose names begin with a full stop stay hidden.
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::Files | QDir::Drives | QDir::NoDotAndDotDot);
    model_->setNameFilters({QStringLiteral("*.kvr")});
    model_->setNameFilterDisables(false);
    model_->setRootPath(QDir::rootPath());

    auto* treePanel = new QWidget;
    tree_ = new QTreeView(treePanel);
    tree_->setObjectName(QStringLiteral("ShellTreeView"));
    tree_->setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column)
        tree_->hideColumn(column);
    tree_->header()->hide();
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(tree_, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        if (!model_->isDir(index))
            ButtonAddClick();
    });
    auto* treeLayout = new QVBoxLayout(treePanel);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    treeLayout->addWidget(title(treePanel, "LabelTree"));
    treeLayout->addWidget(tree_);

    // The add and remove buttons in a column at the splitter, around its middle.
    listPanel_ = new QWidget;
    auto* buttonAdd = button(listPanel_, "ButtonAdd");
    connect(buttonAdd, &QPushButton::clicked, this, &TFileBrowserForm::ButtonAddClick);
    auto* buttonDel = button(listPanel_, "ButtonDel");
    connect(buttonDel, &QPushButton::clicked, this, &TFileBrowserForm::ButtonDelClick);
    auto* buttonColumn = new QVBoxLayout;
    buttonColumn->setSpacing(0);
    buttonColumn->addStretch(1);
    buttonColumn->addWidget(buttonAdd);
    buttonColumn->addSpacing(2 * kButtonsFromMiddle);
    buttonColumn->addWidget(buttonDel);
    buttonColumn->addStretch(1);

    listBox_ = new QListWidget(listPanel_);
    listBox_->setObjectName(QStringLiteral("ListBoxFiles"));
    listBox_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The shell's small icons, as in the tree.
    listBox_->setIconSize(QSize(16, 16));
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(title(listPanel_, "LabelList"));
    listColumn->addWidget(listBox_);
    auto* listLayout = new QHBoxLayout(listPanel_);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->addLayout(buttonColumn);
    listLayout->addLayout(listColumn, 1);

    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("Splitter"));
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(treePanel);
    splitter_->addWidget(listPanel_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 1);

    auto* buttonClear = button(this, "ButtonClear");
    connect(buttonClear, &QPushButton::clicked, this, &TFileBrowserForm::ButtonClearClick);
    const OkCancelRow buttons = okCancelRow(*this);
    buttons.layout->insertWidget(0, buttonClear);
    buttonOk_ = buttons.ok;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter_, 1);
    layout->addLayout(buttons.layout);

    keepControlTexts(*this, "TFileBrowserForm", texts);
    resize(720, 460);
    selectInTree(QDir::homePath());
}

bool TFileBrowserForm::choose(SearchFolderList& list) {
    showList(list);
    centreOverParent(*this);
    const bool accepted = exec() == QDialog::Accepted;
    list_ = nullptr;
    return accepted;
}

void TFileBrowserForm::showList(SearchFolderList& list) {
    list_ = &list;
    refreshList();
}

bool TFileBrowserForm::selectInTree(const QString& path) {
    const QModelIndex index = model_->index(path);
    if (!index.isValid())
        return false;
    for (QModelIndex above = index.parent(); above.isValid(); above = above.parent())
        tree_->expand(above);
    tree_->setCurrentIndex(index);
    tree_->scrollTo(index);
    return true;
}

void TFileBrowserForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    limitListPanel();
}

void TFileBrowserForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    limitListPanel();
}

void TFileBrowserForm::limitListPanel() {
    listPanel_->setMaximumWidth(static_cast<int>(contentsRect().width() * kListShareLimit));
}

void TFileBrowserForm::ButtonAddClick() {
    const QModelIndex index = tree_->currentIndex();
    if (list_ == nullptr || !index.isValid())
        return;
    list_->add(model_->filePath(index).toStdString());
    refreshList();
}

void TFileBrowserForm::ButtonDelClick() {
    if (list_ == nullptr)
        return;
    std::vector<std::size_t> rows;
    for (const QListWidgetItem* item : listBox_->selectedItems())
        rows.push_back(static_cast<std::size_t>(listBox_->row(item)));
    list_->remove(rows);
    refreshList();
}

void TFileBrowserForm::ButtonClearClick() {
    if (list_ == nullptr)
        return;
    list_->clear();
    refreshList();
}

void TFileBrowserForm::refreshList() {
    listBox_->clear();
    if (list_ == nullptr) {
        buttonOk_->setEnabled(false);
        return;
    }
    const QFileIconProvider icons;
    for (const std::filesystem::path& row : list_->rows()) {
        const QString text = pathText(row);
        listBox_->addItem(new QListWidgetItem(icons.icon(QFileInfo(text)), text));
    }
    buttonOk_->setEnabled(list_->okEnabled());
}

} // namespace konfigor
