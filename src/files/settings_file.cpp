#include "files/settings_file.h"

#include "common/atomic_file.h"
#include "common/little_endian.h"
#include "common/system_error.h"
#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace konfigor {
namespace {

constexpr std::uint16_t kHeaderTag = 0x8000;
constexpr std::uint16_t kRemoteTag = 0x8001;
constexpr std::uint16_t kChannelTimeTag = 0x8002;
constexpr std::uint16_t kRemoteDescriptionTag = 0x8003;
constexpr std::uint16_t kIdentifierTag = 0x8004;
constexpr std::uint16_t kChannelTag = 0x8005;
constexpr std::uint16_t kChannelDescriptionTag = 0x0001;

constexpr std::size_t kMaxRemoteDescription = 255;
constexpr std::size_t kMaxChannelDescription = 200;
constexpr std::size_t kMaxIdentifier = 255;
constexpr std::size_t kHeaderSize = 4;
constexpr std::size_t kIndexSize = 4;

using Failure = std::optional<std::string>;

// ---------------------------------------------------------------------------------------------
// Writing

class RecordWriter {
public:
    void record(std::uint16_t tag, std::span<const std::uint8_t> payload) {
        put<std::uint16_t>(tag);
        put(static_cast<std::uint16_t>(payload.size()));
        bytes_.insert(bytes_.end(), payload.begin(), payload.end());
    }

    template <std::unsigned_integral Int>
    void record(std::uint16_t tag, Int value) {
        std::array<std::uint8_t, sizeof(Int)> payload{};
        little_endian::put<Int>(payload, value);
        record(tag, payload);
    }

    void text(std::uint16_t tag, std::string_view text, std::size_t maxLength) {
        const std::string_view kept = text.substr(0, maxLength);
        record(tag, std::span(reinterpret_cast<const std::uint8_t*>(kept.data()), kept.size()));
    }

    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    template <std::unsigned_integral Int>
    void put(Int value) {
        std::array<std::uint8_t, sizeof(Int)> bytes{};
        little_endian::put<Int>(bytes, value);
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    }

    std::vector<std::uint8_t> bytes_;
};

void writeRemote(RecordWriter& out, std::uint32_t slot, const RemoteEntry& remote) {
    out.record(kRemoteTag, slot);
    out.record(0, remote.serialWord);
    out.record(1, remote.codeCounter);
    out.record(2, packButtonMasks(remote.buttonMasks));
    out.record(3, std::uint8_t{remote.copyLock});
}

void writeChannel(RecordWriter& out, std::uint32_t index, const ChannelEntry& channel) {
    out.record(kChannelTag, index);
    out.record(0, channel.time);
    out.record(2, std::uint8_t{channel.transientMode});
    out.record(3, std::uint8_t{channel.doublePress});
}

// ---------------------------------------------------------------------------------------------
// Reading

class ByteSource {
public:
    explicit ByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // Up to `count` bytes; fewer where the data ends.
    std::span<const std::uint8_t> take(std::size_t count) {
        const std::size_t available = std::min(count, bytes_.size() - position_);
        const auto taken = bytes_.subspan(position_, available);
        position_ += available;
        return taken;
    }

    bool atEnd() const { return position_ == bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

std::string_view asText(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

struct RecordHeader {
    std::uint16_t tag;
    std::uint16_t length;
};

RecordHeader headerFrom(std::span<const std::uint8_t> bytes) {
    return {little_endian::get<std::uint16_t>(bytes.subspan(0, 2)),
            little_endian::get<std::uint16_t>(bytes.subspan(2, 2))};
}

// One pass over a file's bytes. Records are placed by counting, not by the index they carry:
// the n-th remote record fills slot n.
class Parser {
public:
    Parser(const TextTable& texts, std::span<const std::uint8_t> bytes, int errorAtEnd,
           SettingsFile::Destination into)
        : texts_(texts), source_(bytes), errorAtEnd_(errorAtEnd), into_(into) {}

    Failure run() {
        if (Failure failure = readFileHeader())
            return failure;
        for (;;) {
            const auto header = source_.take(kHeaderSize);
            if (header.empty())
                return errorAtEnd_ == 0 ? Failure() : withSystemText(Msg::FileUnexpectedError);
            if (header.size() < kHeaderSize)
                return withSystemText(Msg::FileUnexpectedEnd);
            if (Failure failure = readRecord(headerFrom(header)))
                return failure;
        }
    }

private:
    Failure readFileHeader() {
        const auto header = source_.take(6);
        if (header.size() < 6)
            return withSystemText(Msg::FileHeaderReadError);
        const RecordHeader record = headerFrom(header);
        const auto version = little_endian::get<std::uint16_t>(header.subspan(4, 2));
        if (record.tag != kHeaderTag || record.length != 2)
            return texts_.format(Msg::FileVersionUnknown, unsigned{version});
        into_.newerVersion = version > SettingsFile::kVersion;
        if (into_.version)
            *into_.version = version;
        return std::nullopt;
    }

    Failure readRecord(RecordHeader header) {
        switch (header.tag) {
        case kRemoteTag:
            return readRemote(header);
        case kChannelTag:
            return readChannel(header, false);
        case kChannelTimeTag:
            return readChannel(header, true);
        case kRemoteDescriptionTag:
            return readRemoteDescription(header);
        case kChannelDescriptionTag:
            return readChannelDescription(header);
        case kIdentifierTag:
            return readIdentifier(header);
        default:
            return skip(header);
        }
    }

    Failure readRemote(RecordHeader header) {
        if (header.length != kIndexSize)
            return texts_.text(Msg::FileUnexpectedData);
        std::uint32_t serialWord = 0;
        std::uint16_t counter = 0;
        std::uint16_t buttons = 0;
        std::uint8_t copyLock = 0;
        Failure failure = readPayload(kIndexSize);
        if (!failure)
            failure = readSubRecord(0, serialWord);
        if (!failure)
            failure = readSubRecord(1, counter);
        if (!failure)
            failure = readSubRecord(2, buttons);
        if (!failure)
            failure = readSubRecord(3, copyLock);
        if (failure)
            return failure;
        if (RemoteEntry* remote = next(into_.remotes, remotesRead_)) {
            remote->serialWord = serialWord;
            remote->codeCounter = counter;
            remote->buttonMasks = unpackButtonMasks(buttons);
            remote->copyLock = copyLock != 0;
        }
        return std::nullopt;
    }

    Failure readChannel(RecordHeader header, bool timeOnly) {
        if (header.length != kIndexSize)
            return texts_.text(Msg::FileUnexpectedData);
        std::uint16_t time = 0;
        std::uint8_t transientMode = 0;
        std::uint8_t doublePress = 0;
        Failure failure = readPayload(kIndexSize);
        if (!failure)
            failure = readSubRecord(0, time);
        if (!failure && !timeOnly)
            failure = readSubRecord(2, transientMode);
        if (!failure && !timeOnly)
            failure = readSubRecord(3, doublePress);
        if (failure)
            return failure;
        if (ChannelEntry* channel = next(into_.channels, channelsRead_)) {
            channel->time = time;
            if (!timeOnly) {
                channel->transientMode = transientMode != 0;
                channel->doublePress = doublePress != 0;
            }
        }
        return std::nullopt;
    }

    Failure readRemoteDescription(RecordHeader header) {
        return readDescription(header, kMaxRemoteDescription, Msg::FileRemoteDescriptionTooLong,
                               into_.remotes, remoteDescriptionsRead_);
    }

    Failure readChannelDescription(RecordHeader header) {
        return readDescription(header, kMaxChannelDescription, Msg::FileChannelDescriptionTooLong,
                               into_.channels, channelDescriptionsRead_);
    }

    // A description goes to the entry its own counter names.
    template <class Entry, std::size_t N>
    Failure readDescription(RecordHeader header, std::size_t maxLength, Msg tooLong,
                            std::array<Entry, N>& entries, std::size_t& counter) {
        if (header.length > maxLength)
            return texts_.text(tooLong);
        const auto text = source_.take(header.length);
        if (text.size() < header.length)
            return withSystemText(Msg::FileReadError);
        if (Entry* entry = next(entries, counter))
            entry->description.assign(asText(text));
        return std::nullopt;
    }

    Failure readIdentifier(RecordHeader header) {
        if (header.length > kMaxIdentifier)
            return texts_.text(Msg::FileIdentifierTooLong);
        const auto text = source_.take(header.length);
        if (text.size() < header.length) {
            return formatMessage(untranslated(Untranslated::FileErrorWithSystemText),
                                 {texts_.text(Msg::FileErrorOccurred),
                                  texts_.text(Msg::FileApproximateDescription), systemText()})
                .value_or(texts_.text(Msg::FileErrorOccurred));
        }
        into_.identifier.assign(asText(text));
        return std::nullopt;
    }

    Failure skip(RecordHeader header) {
        if (source_.take(header.length).size() < header.length)
            return texts_.format(Msg::FileEndInSkippedRecord, unsigned{header.tag}, systemText());
        if (source_.atEnd() && errorAtEnd_ != 0)
            return withSystemText(Msg::FileReadError);
        return std::nullopt;
    }

    Failure readPayload(std::size_t length) {
        if (source_.take(length).size() < length)
            return withSystemText(Msg::FileReadError);
        return std::nullopt;
    }

    // A sub-record must carry exactly the expected tag and length, directly after its parent.
    template <std::unsigned_integral Int>
    Failure readSubRecord(std::uint16_t tag, Int& value) {
        const auto header = source_.take(kHeaderSize);
        if (header.size() < kHeaderSize)
            return withSystemText(Msg::FileReadError);
        const RecordHeader sub = headerFrom(header);
        if (sub.tag != tag || sub.length != sizeof(Int))
            return texts_.text(Msg::FileUnexpectedData);
        const auto payload = source_.take(sizeof(Int));
        if (payload.size() < sizeof(Int))
            return withSystemText(Msg::FileReadError);
        value = little_endian::get<Int>(payload);
        return std::nullopt;
    }

    // The entry the counter names, then the counter advances. Records beyond the sheet's
    // capacity are read and checked but go nowhere.
    template <class Entry, std::size_t N>
    static Entry* next(std::array<Entry, N>& entries, std::size_t& counter) {
        Entry* entry = counter < N ? &entries[counter] : nullptr;
        ++counter;
        return entry;
    }

    std::string systemText() const { return systemErrorText(errorAtEnd_); }
    std::string withSystemText(Msg id) const { return texts_.format(id, systemText()); }

    const TextTable& texts_;
    ByteSource source_;
    int errorAtEnd_;
    SettingsFile::Destination into_;
    std::size_t remotesRead_ = 0;
    std::size_t remoteDescriptionsRead_ = 0;
    std::size_t channelsRead_ = 0;
    std::size_t channelDescriptionsRead_ = 0;
};

// The largest file the writer makes, every text at its limit, and room for records a newer
// version may add; the reader takes no more than this.
constexpr std::size_t kLargestWrittenFile =
    6 + kRemoteSlotCount * (33 + kHeaderSize + kMaxRemoteDescription) +
    kChannelCount * (24 + kHeaderSize + kMaxChannelDescription) + kHeaderSize + kMaxIdentifier;
constexpr std::size_t kUnknownRecordAllowance = 1024 * 1024;
constexpr std::size_t kMaxFileSize = kLargestWrittenFile + kUnknownRecordAllowance;
constexpr std::size_t kFileHeaderSize = 6;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Only a regular file is read: a FIFO or a device could block or never end, and a folder has
// no bytes. The error stands for the open's own when the path names something else.
int notARegularFile(const struct stat& status) {
    if (S_ISREG(status.st_mode))
        return 0;
    return S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
}

// Looked at before opening, since opening a device or a FIFO may itself block or act;
// O_NONBLOCK and the second look cover a swap in between.
int openRegularFile(const std::filesystem::path& path, int& fd) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return errno;
    if (const int error = notARegularFile(status))
        return error;
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    if (::fstat(fd, &status) != 0)
        return errno;
    return notARegularFile(status);
}

// Appends up to `count` bytes; gives the system error that cut them short, 0 at the end of the
// file.
int readUpTo(int fd, std::size_t count, std::vector<std::uint8_t>& bytes) {
    constexpr std::size_t kChunk = 64 * 1024;
    while (count > 0) {
        const std::size_t wanted = std::min(count, kChunk);
        const std::size_t filled = bytes.size();
        bytes.resize(filled + wanted);
        const ssize_t got = ::read(fd, bytes.data() + filled, wanted);
        bytes.resize(filled + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno != 0 ? errno : EIO;
        if (got == 0)
            return 0;
        count -= static_cast<std::size_t>(got);
    }
    return 0;
}

bool isFileHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kFileHeaderSize)
        return false;
    const RecordHeader header = headerFrom(bytes);
    return header.tag == kHeaderTag && header.length == 2;
}

// The header alone first, so a file that is not ours costs six bytes whatever its size; then at
// most kMaxFileSize, a longer file ending as if cut short by EFBIG.
std::vector<std::uint8_t> readBounded(int fd, int& errorAtEnd) {
    std::vector<std::uint8_t> bytes;
    errorAtEnd = readUpTo(fd, kFileHeaderSize, bytes);
    if (errorAtEnd != 0 || !isFileHeader(bytes))
        return bytes;
    errorAtEnd = readUpTo(fd, kMaxFileSize + 1 - bytes.size(), bytes);
    if (bytes.size() > kMaxFileSize) {
        bytes.resize(kMaxFileSize);
        errorAtEnd = EFBIG;
    }
    return bytes;
}

} // namespace

std::optional<std::string> SettingsFile::parse(std::span<const std::uint8_t> bytes, int errorAtEnd,
                                               Destination into) const {
    return Parser(texts_, bytes, errorAtEnd, into).run();
}

std::optional<std::string> SettingsFile::read(const std::filesystem::path& path,
                                              Destination into) const {
    RemoteEntry zeroed;
    zeroed.copyLock = false;
    into.remotes.fill(zeroed);

    const auto withPath = [&](std::string message) {
        return message + texts_.text(Msg::FileReadErrorPathPrefix) + path.string();
    };
    int fd = -1;
    const int openError = openRegularFile(path, fd);
    const FileDescriptor file(fd);
    if (openError != 0)
        return withPath(texts_.format(Msg::FileOpenForReadError, systemErrorText(openError)));
    into.identifier.assign("");

    int errorAtEnd = 0;
    const std::vector<std::uint8_t> bytes = readBounded(file.get(), errorAtEnd);
    if (Failure failure = parse(bytes, errorAtEnd, into))
        return withPath(*std::move(failure));
    return std::nullopt;
}

std::vector<std::uint8_t> SettingsFile::encode(const RemoteSlots& remotes, const Channels& channels,
                                               const IdentifierText& identifier) {
    RecordWriter out;
    out.record(kHeaderTag, kVersion);
    for (std::uint32_t slot = 0; slot < remotes.size(); ++slot)
        writeRemote(out, slot, remotes[slot]);
    for (std::uint32_t index = 0; index < channels.size(); ++index)
        writeChannel(out, index, channels[index]);
    for (const RemoteEntry& remote : remotes)
        out.text(kRemoteDescriptionTag, remote.description.view(), kMaxRemoteDescription);
    for (const ChannelEntry& channel : channels)
        out.text(kChannelDescriptionTag, channel.description.view(), kMaxChannelDescription);
    out.text(kIdentifierTag, identifier.view(), kMaxIdentifier);
    return out.take();
}

std::optional<std::string> SettingsFile::write(const std::filesystem::path& path,
                                               const RemoteSlots& remotes, const Channels& channels,
                                               const IdentifierText& identifier) const {
    const std::optional<FileWriteFailure> failure =
        writeFileAtomically(path, encode(remotes, channels, identifier));
    if (!failure)
        return std::nullopt;
    const Msg message = [&] {
        switch (failure->stage) {
        case FileWriteFailure::Stage::Open:
            return Msg::FileOpenForWriteError;
        case FileWriteFailure::Stage::Write:
            // The reader's message serves for writes too, as it always has.
            return Msg::FileReadError;
        case FileWriteFailure::Stage::Close:
            break;
        }
        return Msg::FileCloseError;
    }();
    return texts_.format(message, systemErrorText(failure->errorNumber)) +
           texts_.text(Msg::FileWriteErrorPathPrefix) + path.string();
}

} // namespace konfigor
