#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace konfigor {

class Configuration;
class TextTable;
class UserPrompts;

// The list of the folder chooser (TFileBrowserForm): the folders and single files the
// description search looks in, kept in order and free of overlaps, since a folder is searched
// with all its subfolders. Paths compare as Linux compares them, byte for byte: a folder in
// another letter case is another folder. The containment test is one of texts, not of path
// components, so a listed /dane also covers /dane2.
class SearchFolderList {
public:
    enum class AddOutcome {
        Added,
        AlreadyListed,
        // Refused with a warning: a listed folder holds it.
        InsideListedFolder,
        // An empty path names nothing.
        Ignored,
    };

    SearchFolderList(const TextTable& texts, UserPrompts& prompts)
        : texts_(texts), prompts_(prompts) {}

    // Opening the dialog: the stored paths are added one by one by the rule of add(), so its
    // warnings may show while the dialog opens.
    void open(const std::vector<std::filesystem::path>& stored);
    void open(const Configuration& configuration);

    // ButtonAdd. A path inside a listed folder is refused with a warning naming that folder;
    // listed folders inside the new one go, with one warning naming it.
    AddOutcome add(const std::filesystem::path& path);
    // ButtonDel: every selected row; rows out of range are ignored.
    void remove(std::span<const std::size_t> rows);
    // ButtonClear
    void clear() { rows_.clear(); }

    // Sorted, as the list shows them.
    const std::vector<std::filesystem::path>& rows() const { return rows_; }
    // ButtonOk is enabled exactly while the list holds a row.
    bool okEnabled() const { return !rows_.empty(); }
    // OK: the rows replace the stored list, keyed by their position from 0.
    void store(Configuration& configuration) const;

private:
    void warn(std::string text);

    const TextTable& texts_;
    UserPrompts& prompts_;
    std::vector<std::filesystem::path> rows_;
};

} // namespace konfigor
