#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// The program's fixed list of replaceable texts. A language file has one line per entry, in this
// order and without keys, so an entry's line number is its identity.
namespace konfigor {

inline constexpr std::size_t kLanguageLineCount = 476;
inline constexpr std::size_t kMessageLineCount = 229;
inline constexpr std::size_t kControlLineCount = 247;

// A text that the program's own code shows or formats. The value is the line number, so a
// language file's line and the message it replaces need no table between them.
enum class Msg : std::uint16_t {
    ConnectingToReceiver = 1,
    DisconnectingFromReceiver = 2,
    ChannelEditorHeading = 3,
    ChannelTimeInvalid = 4,
    ChannelTimeInvalidTitle = 5,
    ChannelConfigWriteFailed = 6,
    ChannelConfigWriteFailedTitle = 7,
    WritingChannelConfig = 8,
    ChannelTestTimeInvalid = 9,
    ChannelTestTimeInvalidTitle = 10,
    ChannelTestTitle = 11,
    ChannelTimesNotRestorable = 12,
    ChannelTimesNotRestorableTitle = 13,
    AddingRemoteTitle = 14,
    EditingRemoteTitle = 15,
    EditingMarkedRemotesTitle = 16,
    RemoteDetected = 17,
    PressButtonTwiceMore = 18,
    PressButtonOnceMore = 19,
    SerialNotWritableForMarkedRemotes = 20,
    RemoteAlreadyInSheet = 21,
    RemoteAlreadyInReceiver = 22,
    PressButtonThreeTimes = 23,
    FolderInsideListedFolder = 24,
    ListedFoldersRemoved = 25,
    AbortTransferQuestion = 26,
    LoadingFromReceiverCaption = 27,
    WritingToReceiverCaption = 28,
    VirtualRemoteDefaultName = 29,
    RemoteGridPositionTitle = 30,
    RemoteGridDescriptionTitle = 31,
    RemoteGridButton1Title = 32,
    RemoteGridButton2Title = 33,
    RemoteGridButton3Title = 34,
    RemoteGridButton4Title = 35,
    ChannelGridPositionTitle = 36,
    ChannelGridDescriptionTitle = 37,
    ChannelGridModeTitle = 38,
    ChannelGridDoublePressTitle = 39,
    EventGridDateTitle = 40,
    EventGridTimeTitle = 41,
    EventGridPositionTitle = 42,
    EventGridDescriptionTitle = 43,
    EventGridSerialTitle = 44,
    SelectPortAndConnect = 45,
    NotConnected = 46,
    Reconnecting = 47,
    NoCommunication = 48,
    Connected = 49,
    RemoteSignalFromPosition = 50,
    UnknownRemoteSignal = 51,
    ReceiverWasReset = 52,
    ReadingReceiverConfig = 53,
    RemoteRecordRead = 54,
    WrongPin = 55,
    ChannelSettingsRead = 56,
    ChannelSettingsWritten = 57,
    RemoteWrittenToReceiver = 58,
    ReceiverConfigWritten = 59,
    Disconnected = 60,
    ConnectCaption = 61,
    DisconnectFailed = 62,
    DisconnectCaption = 63,
    VersionReadFailed = 64,
    ReadingReceiverVersion = 65,
    ConnectFailed = 66,
    UnsavedChangesToDiskQuestion = 67,
    UnsavedChangesToReceiverQuestion = 68,
    AlsoUpdateSettingsFileQuestion = 69,
    SavingToReceiverInProgress = 70,
    AllAsDefaultSettingsFile = 71,
    SavingToFileInProgress = 72,
    LoadFileUnsavedToDiskQuestion = 73,
    LoadFileUnsavedToReceiverQuestion = 74,
    FileVersionNewer = 75,
    ChannelModeMomentary = 76,
    ChannelModeMonostable = 77,
    ChannelModeBistable = 78,
    DoublePressYes = 79,
    DoublePressNo = 80,
    EraseSheetOnlyQuestion = 81,
    DeleteRemoteQuestion = 82,
    DeleteMarkedRemotesQuestion = 83,
    LoadReceiverUnsavedToDiskQuestion = 84,
    LoadReceiverUnsavedToReceiverQuestion = 85,
    SendingRemoteWriteRequest = 86,
    SendingRemoteReadRequest = 87,
    NoChangesSearchAnywayQuestion = 88,
    SearchUnsavedToDiskQuestion = 89,
    SearchUnsavedToReceiverQuestion = 90,
    NoFileScanned = 91,
    ReplaceChannelQuestion = 92,
    SkippingDuplicateRemote = 93,
    ReplaceQuestionChannelItem = 94,
    SheetCopyLockYes = 95,
    SheetCopyLockNo = 96,
    FileCopyLockYes = 97,
    FileCopyLockNo = 98,
    ReplaceRemoteQuestion = 99,
    ChangesSavedNowhere = 100,
    ChangesNotSavedToDisk = 101,
    ChangesNotSavedToReceiver = 102,
    ChangesSaved = 103,
    MenuEditMarkedRemotes = 104,
    MenuDeleteMarkedRemotes = 105,
    MenuEditRemote = 106,
    MenuDeleteRemote = 107,
    VirtualRemoteEventName = 108,
    EventLogIdentifierHeader = 109,
    EventLogColumnsHeader = 110,
    EventLogChannel1Field = 111,
    EventLogChannel2Field = 112,
    EventLogChannel3Field = 113,
    EventLogChannel4Field = 114,
    EventGridChannel1Title = 115,
    EventGridChannel2Title = 116,
    EventGridChannel3Title = 117,
    EventGridChannel4Title = 118,
    CompactSheetQuestion = 119,
    PasteDuplicatesQuestion = 120,
    PasteTooManyRemotes = 121,
    PasteNeedsHigherPosition = 122,
    PasteSkipOccupiedQuestion = 123,
    ReportDocumentTitle = 124,
    ReportTitle = 125,
    ReportRemotesSection = 126,
    ReportCopyLockYes = 127,
    ReportCopyLockNo = 128,
    ReportChannelsSection = 129,
    ReportModeBistable = 130,
    ReportModeMonostable = 131,
    ReportSerialHeaderStart = 132,
    ReportButton1Header = 133,
    ReportButton2Header = 134,
    ReportButton3Header = 135,
    ReportButton4Header = 136,
    ReportCopyLockHeaderStart = 137,
    ReportRemotePositionHeader = 138,
    ReportSerialHeaderEnd = 139,
    ReportRemoteDescriptionHeader = 140,
    ReportCopyLockHeaderEnd = 141,
    ReportChannelPositionHeader = 142,
    ReportChannelDescriptionHeader = 143,
    ReportChannelModeHeader = 144,
    EventSoundFileNotFound = 145,
    WritingReceiverConfig = 146,
    ResetReceiverQuestion = 147,
    NoCommunicationWithReceiver = 148,
    SelectSoundToPlay = 149,
    SoundFileMissing = 150,
    DefaultSettingsFileRequired = 151,
    SelectComPort = 152,
    NewPinTooShort = 153,
    PinAllZeros = 154,
    PinsDiffer = 155,
    EnteredPinTooShort = 156,
    ScanResultsNumberTitle = 157,
    ScanResultsScoreTitle = 158,
    ScanResultsFileTitle = 159,
    FileReadError = 160,
    FileUnexpectedData = 161,
    FileIdentifierTooLong = 162,
    FileErrorOccurred = 163,
    FileApproximateDescription = 164,
    FileRemoteDescriptionTooLong = 165,
    FileChannelDescriptionTooLong = 166,
    FileEndInSkippedRecord = 167,
    FileUnexpectedEnd = 168,
    FileUnexpectedError = 169,
    FileVersionUnknown = 170,
    FileHeaderReadError = 171,
    FileOpenForReadError = 172,
    FileReadErrorPathPrefix = 173,
    FileCloseError = 174,
    FileOpenForWriteError = 175,
    FileWriteErrorPathPrefix = 176,
    HelpFileNotFound = 384,
    HelpFileOpenErrorTitle = 385,
    RemoteGridSerialTitle = 391,
    GlobalCopyLockOnQuestion = 392,
    GlobalCopyLockOffQuestion = 393,
    NoReceiverDetected = 395,
    AdminCopyLockOnQuestion = 396,
    AdminCopyLockOffQuestion = 397,
    AdminCopyLockHint = 400,
    AdminCopyLockFirmwareHint = 401,
    ReceiverVersionWord = 402,
    CloseWithoutCommunicationQuestion = 403,
    CommunicationProblemsWarning = 405,
    EraseQuestionTitle = 406,
    ResetChannelsQuestion = 407,
    PrintingCancelled = 418,
    ReportPageWord = 419,
    ReportChannelWord = 420,
    PreviewPageStatus = 421,
    HistoryEmptySheet = 435,
    DisconnectClearsHistoryQuestion = 436,
    EraseSheetAndReceiverQuestion = 437,
    SelectEmptyRowForRemote = 438,
    SelectRemoteToEdit = 439,
    SelectRemoteToDelete = 440,
    UndoCaption = 441,
    RedoCaption = 442,
    HistorySwapRemotes = 443,
    UndoneStatus = 444,
    RedoneStatus = 445,
    HistoryReceiverLoad = 446,
    HistoryPinChange = 447,
    HistoryGlobalCopyLock = 448,
    HistoryAdminCopyLock = 449,
    HistoryChannelEdit = 450,
    HistoryRemoteAdded = 451,
    HistoryRemoteEdited = 452,
    HistoryRemoteDeleted = 453,
    HistoryRemoteRead = 454,
    HistoryRemoteCut = 455,
    HistoryRemotePasted = 456,
    HistoryErase = 457,
    HistoryCompaction = 458,
    HistoryRename = 459,
    HistoryDescriptionSearch = 460,
    HistoryFileLoad = 461,
    ReadRemoteButtonCaption = 462,
    ChangeRemoteButtonCaption = 463,
    RemoteChangeImpossibleCaption = 464,
    ReportModeMomentary = 472,
    ReportDoublePress = 473,
    RemoteGridCopyLockTitle = 474,
    DeviceBusy = 475,
};

struct MessageLine {
    std::uint16_t line;
    Msg id;
    std::string_view name;
    // The most characters (code points) the text keeps; a longer translation is cut.
    std::uint16_t capacity;
    std::string_view builtIn;
};

enum class ControlProperty : std::uint8_t { Caption, Hint, Filter, Item };

// The caption, hint, file dialog filter or radio group item of a control, found at run time by
// window class and objectName.
struct ControlLine {
    std::uint16_t line;
    std::string_view windowClass;
    // Empty for the window's own caption.
    std::string_view control;
    ControlProperty property;
    // 1-based item of a radio group for ControlProperty::Item, else 0.
    std::uint8_t item;
    // Empty where the program has no built-in text of its own for the control.
    std::string_view builtIn;
};

enum class LineKind { Message, Control };

struct LanguageLine {
    std::uint16_t line;
    LineKind kind;
    // Index into messageLines() or controlLines(), as `kind` says.
    std::uint16_t index;
};

// All message lines in line order.
std::span<const MessageLine> messageLines();

// All control lines in line order.
std::span<const ControlLine> controlLines();

// Every line of a language file: line n is at index n - 1.
std::span<const LanguageLine> languageLines();

// `id` must be one of the enumerators.
std::size_t messageIndex(Msg id);
const MessageLine& messageLine(Msg id);

} // namespace konfigor
