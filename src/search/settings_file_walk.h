#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace konfigor {

// Something a search could not read: a settings file, with the reader's message (which names
// the file), or a folder, with the system's text for why it was not entered.
struct ScanSkip {
    enum class Kind { File, Folder };

    Kind kind = Kind::File;
    std::filesystem::path path;
    std::string error; // UTF-8

    friend bool operator==(const ScanSkip&, const ScanSkip&) = default;
};

// The name ends in ".kvr", in any letter case.
bool hasSettingsFileExtension(std::string_view fileName);

struct FoundFiles {
    std::vector<std::filesystem::path> files;
    // Folders that could not be listed, or that lead back into a folder being walked.
    std::vector<ScanSkip> skipped;
    bool cancelled = false;
};

// The files a search reads, from a list of chosen files and folders, in the list's order. A
// path that does not exist is passed over; a folder is walked with its subfolders, taking the
// files that end in ".kvr" and never entering a folder whose name begins with a full stop;
// anything else is taken as a file whatever its name. Each folder's entries go by name, so the
// same tree always gives the same list. Symbolic links are followed, but a folder is entered
// once only: one that leads back into a folder being walked is listed as skipped. Nothing is
// opened but folders, so a FIFO or a device among the files cannot block the walk. `onFound`
// hears the number of files found after each one.
FoundFiles findSettingsFiles(std::span<const std::filesystem::path> entries,
                             std::stop_token stop = {},
                             const std::function<void(std::size_t found)>& onFound = {});

} // namespace konfigor
