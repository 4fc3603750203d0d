#include "search/settings_file_walk.h"

#include "common/system_error.h"
#include "texts/untranslated_texts.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace konfigor {
namespace {

struct FolderId {
    dev_t device = 0;
    ino_t inode = 0;

    friend auto operator<=>(const FolderId&, const FolderId&) = default;
};

struct ListedEntry {
    std::string name;
    bool isFolder = false;
};

// A folder being walked: its entries, and how far the walk has gone through them.
struct Frame {
    std::filesystem::path folder;
    FolderId id;
    std::vector<ListedEntry> entries;
    std::size_t next = 0;
};

bool isDotEntry(std::string_view name) {
    return name == "." || name == "..";
}

// The entry's type from the listing where it is certain; links and unknown types are looked
// up, following links, and one that leads nowhere is no folder.
bool isFolderEntry(int folderFd, const dirent& entry) {
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return entry.d_type == DT_DIR;
    struct stat status {};
    return ::fstatat(folderFd, entry.d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
}

class DirectoryHandle {
public:
    explicit DirectoryHandle(DIR* dir) : dir_(dir) {}
    ~DirectoryHandle() {
        if (dir_ != nullptr)
            ::closedir(dir_);
    }
    DirectoryHandle(const DirectoryHandle&) = delete;
    DirectoryHandle& operator=(const DirectoryHandle&) = delete;
    DIR* get() const { return dir_; }

private:
    DIR* dir_;
};

class Walk {
public:
    Walk(std::stop_token stop, const std::function<void(std::size_t)>& onFound)
        : stop_(std::move(stop)), onFound_(onFound) {}

    void entry(const std::filesystem::path& path) {
        if (stopped())
            return;
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0) {
            // Gone, or never there: passed over. Anything else the reader will name.
            if (errno == ENOENT || errno == ENOTDIR)
                return;
            addFile(path);
            return;
        }
        if (S_ISDIR(status.st_mode))
            walkFolder(path);
        else
            addFile(path);
    }

    FoundFiles take() {
        found_.cancelled = stop_.stop_requested();
        return std::move(found_);
    }

private:
    bool stopped() const { return stop_.stop_requested(); }

    void addFile(const std::filesystem::path& path) {
        found_.files.push_back(path);
        if (onFound_)
            onFound_(found_.files.size());
    }

    void skipFolder(const std::filesystem::path& path, int errorNumber) {
        found_.skipped.push_back(
            {.kind = ScanSkip::Kind::Folder, .path = path, .error = systemErrorText(errorNumber)});
    }

    // Depth first, each subfolder walked where it stands among its folder's entries. The stack
    // is our own, so no depth of folders can exhaust the thread's.
    void walkFolder(const std::filesystem::path& top) {
        std::vector<Frame> stack;
        enter(top, stack);
        while (!stack.empty() && !stopped()) {
            Frame& frame = stack.back();
            if (frame.next == frame.entries.size()) {
                stack.pop_back();
                continue;
            }
            const ListedEntry& listed = frame.entries[frame.next++];
            std::filesystem::path path = frame.folder / listed.name;
            if (!listed.isFolder) {
                if (hasSettingsFileExtension(listed.name))
                    addFile(path);
            } else if (listed.name.front() != '.') {
                enter(path, stack);
            }
        }
    }

    // Lists the folder and puts it on the stack, unless it cannot be read or was entered
    // before.
    void enter(const std::filesystem::path& folder, std::vector<Frame>& stack) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            skipFolder(folder, errno);
            return;
        }
        DirectoryHandle dir(::fdopendir(fd));
        if (dir.get() == nullptr) {
            const int error = errno;
            ::close(fd);
            skipFolder(folder, error);
            return;
        }
        struct stat status {};
        if (::fstat(fd, &status) != 0) {
            skipFolder(folder, errno);
            return;
        }
        const FolderId id{status.st_dev, status.st_ino};
        const bool isAncestor = std::any_of(stack.begin(), stack.end(),
                                            [&](const Frame& frame) { return frame.id == id; });
        if (isAncestor) {
            skipFolder(folder, ELOOP);
            return;
        }
        // Reached before by another way: its files are already in the list.
        if (!entered_.insert(id).second)
            return;
        Frame frame{.folder = folder, .id = id, .entries = {}, .next = 0};
        if (const int error = list(dir.get(), frame.entries)) {
            skipFolder(folder, error);
            return;
        }
        stack.push_back(std::move(frame));
    }

    int list(DIR* dir, std::vector<ListedEntry>& entries) const {
        const int fd = ::dirfd(dir);
        for (;;) {
            if (stopped())
                return 0;
            errno = 0;
            const dirent* entry = ::readdir(dir);
            if (entry == nullptr)
                break;
            if (!isDotEntry(entry->d_name))
                entries.push_back({entry->d_name, isFolderEntry(fd, *entry)});
        }
        if (errno != 0)
            return errno;
        std::sort(entries.begin(), entries.end(),
                  [](const ListedEntry& a, const ListedEntry& b) { return a.name < b.name; });
        return 0;
    }

    std::stop_token stop_;
    const std::function<void(std::size_t)>& onFound_;
    std::set<FolderId> entered_;
    FoundFiles found_;
};

} // namespace

bool hasSettingsFileExtension(std::string_view fileName) {
    const std::string_view extension = untranslated(Untranslated::SettingsFileExtension);
    if (fileName.size() < extension.size())
        return false;
    const std::string_view tail = fileName.substr(fileName.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}

FoundFiles findSettingsFiles(std::span<const std::filesystem::path> entries, std::stop_token stop,
                             const std::function<void(std::size_t found)>& onFound) {
    Walk walk(std::move(stop), onFound);
    for (const std::filesystem::path& entry : entries)
        walk.entry(entry);
    return walk.take();
}

} // namespace konfigor
