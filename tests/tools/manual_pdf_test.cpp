// manual-pdf run as the build runs it, and the manuals the build rendered with it. The PDFs are
// read back with pdftotext (poppler-utils); without it only their first bytes are checked.

#include "support/temp_folder.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing::HasSubstr;
using testing_support::TempFolderTest;

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string output; // standard output and error together
};

Outcome runProgram(const std::vector<std::string>& words) {
    int ends[2] = {-1, -1};
    if (::pipe(ends) != 0)
        return {-1, "no pipe"};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    std::vector<char*> argv;
    for (const std::string& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    pid_t child = -1;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    Outcome outcome;
    std::array<char, 4096> buffer{};
    ssize_t count = 0;
    while ((count = ::read(ends[0], buffer.data(), buffer.size())) > 0)
        outcome.output.append(buffer.data(), static_cast<std::size_t>(count));
    ::close(ends[0]);
    if (spawned != 0)
        return {-1, "cannot start " + words.front()};
    int status = 0;
    ::waitpid(child, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (!folder.empty() && ::access((fs::path(folder) / program).c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

std::string readFile(const fs::path& file) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    std::string text(error ? 0 : size, '\0');
    std::ifstream(file, std::ios::binary)
        .read(text.data(), static_cast<std::streamsize>(text.size()));
    return text;
}

// Words joined by single spaces, pages still apart (form feeds). Ligatures are not spelt out: the
// text must copy out of the PDF letter by letter.
std::string normalised(const std::string& text) {
    std::string result;
    bool blank = false;
    for (const char c : text) {
        if (c == '\f') {
            result += c;
            blank = false;
        } else if (c == ' ' || c == '\n' || c == '\t' || c == '\r') {
            blank = !result.empty() && result.back() != '\f';
        } else {
            if (blank)
                result += ' ';
            blank = false;
            result += c;
        }
    }
    return result;
}

// The page is A4 with 15 mm margins; the last 9 mm of the text area hold the footer. In points:
// the text lies between 43 and 774, the footer between 778 and 800. Text outside is not read:
// Qt draws the line just above a page's first one once more, clipped away in the top margin.
enum class Part { Body, Footer };

std::string pdfText(const fs::path& pdf, Part part) {
    const bool body = part == Part::Body;
    const Outcome outcome =
        runProgram({"pdftotext", "-r", "72", "-x", "0", "-y", body ? "43" : "778", "-W", "595",
                    "-H", body ? "731" : "22", pdf.string(), "-"});
    EXPECT_EQ(outcome.status, 0) << outcome.output;
    return normalised(outcome.output);
}

std::vector<std::string> pages(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    std::string page;
    while (std::getline(in, page, '\f'))
        result.push_back(page);
    // pdftotext ends the last page with a form feed too.
    if (!result.empty() && result.back().empty())
        result.pop_back();
    return result;
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The headings of a Markdown file, as the reader sees them.
std::vector<std::string> headingsOf(const fs::path& markdown) {
    std::vector<std::string> headings;
    std::istringstream in(readFile(markdown));
    std::string line;
    bool inCode = false;
    while (std::getline(in, line)) {
        if (line.find_first_not_of(' ') != std::string::npos &&
            line.substr(line.find_first_not_of(' ')).starts_with("```"))
            inCode = !inCode;
        if (inCode || !line.starts_with('#'))
            continue;
        const std::size_t text = line.find_first_not_of("# ");
        std::string heading = line.substr(text);
        std::erase(heading, '`');
        headings.push_back(normalised(heading));
    }
    return headings;
}

// The three manuals the build made: every heading of each source survives into the PDF's text,
// once at least and in the text area (the footer repeats chapter titles, so it is left out).
struct BuiltManual {
    const char* name;
    // Text that must come through letter by letter: the language's own letters, a USB ID.
    const char* phrase;
};

void PrintTo(const BuiltManual& manual, std::ostream* out) {
    *out << manual.name;
}

class BuiltManuals : public testing::TestWithParam<BuiltManual> {};

TEST_P(BuiltManuals, AreDocumentsWithEveryHeadingOfTheirSource) {
    const BuiltManual& manual = GetParam();
    const fs::path pdf = fs::path(KONFIGOR_MANUAL_BUILD_DIR) / (std::string(manual.name) + ".pdf");
    ASSERT_TRUE(fs::is_regular_file(pdf)) << pdf;
    EXPECT_EQ(readFile(pdf).substr(0, 5), "%PDF-");

    if (!onPath("pdftotext"))
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const std::string text = pdfText(pdf, Part::Body);
    EXPECT_THAT(text, HasSubstr(manual.phrase));
    const fs::path source =
        fs::path(KONFIGOR_MANUAL_SOURCE_DIR) / (std::string(manual.name) + ".md");
    const std::vector<std::string> headings = headingsOf(source);
    EXPECT_GT(headings.size(), 5u);
    for (const std::string& heading : headings)
        EXPECT_THAT(text, HasSubstr(heading)) << "lost from " << pdf;
}

INSTANTIATE_TEST_SUITE_P(Manuals, BuiltManuals,
                         testing::Values(BuiltManual{"software_Polski", "6. Wpisywanie pilota"},
                                         BuiltManual{"software_English", "6. Adding a remote"},
                                         BuiltManual{"interface", "04d8:ff0c"}),
                         [](const testing::TestParamInfo<BuiltManual>& manual) {
                             return std::string(manual.param.name);
                         });

class ManualPdf : public TempFolderTest {
protected:
    Outcome render(const fs::path& markdown, const fs::path& pdf) const {
        return runProgram({MANUAL_PDF_PROGRAM, markdown.string(), pdf.string()});
    }

    void writeText(const fs::path& file, const std::string& text) const {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }

    // A 2 × 2 picture in a format Qt reads without plug-ins.
    void writePicture(const fs::path& file) const {
        writeText(file, std::string("P6\n2 2\n255\n") + std::string(12, '\x80'));
    }
};

// A manual of several pages, a table, a picture beside the file and a second chapter half-way
// through. Its paragraphs run over several lines, and every word is different, so that a line
// lost or printed twice where a page ends shows.
TEST_F(ManualPdf, RendersEveryLineOnceWithChapterAndPageInTheFooters) {
    constexpr int kParagraphs = 80;
    constexpr int kWords = 30;
    auto word = [](int paragraph, int index) {
        return "(" + std::to_string(paragraph) + "." + std::to_string(index) + ")";
    };
    std::string markdown =
        "# Próba 04d8:ff0c: zażółć gęślą jaźń\n\nWstęp.\n\n## Rozdział pierwszy\n\n"
        "| kolumna | znaczenie |\n|---|---|\n| Nr p. | pozycja `1–704` |\n\n"
        "![kropka](obrazy/kropka.ppm)\n\n";
    for (int paragraph = 1; paragraph <= kParagraphs; ++paragraph) {
        if (paragraph == kParagraphs / 2)
            markdown += "## Rozdział drugi\n\n";
        for (int index = 1; index <= kWords; ++index)
            markdown += word(paragraph, index) + " Łódź ";
        markdown += "\n\n";
    }
    writeText(path("instrukcja/tekst.md"), markdown);
    writePicture(path("instrukcja/obrazy/kropka.ppm"));

    // Run from elsewhere: the picture is found beside the Markdown file, not in the current folder.
    const Outcome outcome = render(path("instrukcja/tekst.md"), path("tekst.pdf"));
    ASSERT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_EQ(readFile(path("tekst.pdf")).substr(0, 5), "%PDF-");
    if (!onPath("pdftotext"))
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";

    const std::string body = pdfText(path("tekst.pdf"), Part::Body);
    EXPECT_THAT(body, HasSubstr("Próba 04d8:ff0c: zażółć gęślą jaźń"));
    EXPECT_THAT(body, HasSubstr("Nr p."));
    EXPECT_THAT(body, HasSubstr("pozycja 1–704"));
    for (int paragraph = 1; paragraph <= kParagraphs; ++paragraph) {
        for (int index = 1; index <= kWords; ++index)
            EXPECT_EQ(occurrences(body, word(paragraph, index)), 1u) << word(paragraph, index);
    }

    const std::vector<std::string> footers = pages(pdfText(path("tekst.pdf"), Part::Footer));
    ASSERT_GE(footers.size(), 3u);
    const std::string count = std::to_string(footers.size());
    for (std::size_t page = 0; page < footers.size(); ++page) {
        // pdftotext drops the blanks around the slash.
        std::string number = footers[page];
        std::erase(number, ' ');
        EXPECT_THAT(number, testing::EndsWith(std::to_string(page + 1) + "/" + count));
    }
    EXPECT_THAT(footers.front(), HasSubstr("Próba 04d8:ff0c: zażółć gęślą jaźń"));
    EXPECT_THAT(footers.back(), HasSubstr("Rozdział drugi"));
}

// Many short chapters of uneven length, each a chapter heading right above a section heading,
// so that chapters start at every height of a page: no page ends in a heading.
TEST_F(ManualPdf, LeavesNoHeadingAtTheFootOfAPage) {
    constexpr int kChapters = 150;
    auto lastLine = [](int chapter) {
        const int lines = 1 + chapter * 5 % 7;
        return "Wiersz " + std::to_string(chapter) + "." + std::to_string(lines) + ".";
    };
    std::string markdown = "# Rozdziały\n\n";
    for (int chapter = 1; chapter <= kChapters; ++chapter) {
        markdown += "## Rozdział " + std::to_string(chapter) + "\n\n### Sekcja " +
                    std::to_string(chapter) + "\n\n";
        for (int line = 1; line <= 1 + chapter * 5 % 7; ++line)
            markdown += "Wiersz " + std::to_string(chapter) + "." + std::to_string(line) + ".\n\n";
    }
    writeText(path("rozdzialy.md"), markdown);
    const Outcome outcome = render(path("rozdzialy.md"), path("rozdzialy.pdf"));
    ASSERT_EQ(outcome.status, 0) << outcome.output;
    if (!onPath("pdftotext"))
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";

    const std::string text = pdfText(path("rozdzialy.pdf"), Part::Body);
    const std::vector<std::string> texts = pages(text);
    ASSERT_GE(texts.size(), 10u);
    for (std::size_t page = 0; page < texts.size(); ++page) {
        // Every page ends in a numbered line, which alone ends with a full stop.
        ASSERT_FALSE(texts[page].empty()) << "page " << page + 1;
        EXPECT_EQ(texts[page].back(), '.') << "page " << page + 1 << ": " << texts[page];
    }
    for (int chapter = 1; chapter <= kChapters; ++chapter)
        EXPECT_EQ(occurrences(text, lastLine(chapter)), 1u) << lastLine(chapter);
}

// What the build must never take for a finished manual: on each of these the program fails and
// leaves the PDF that was there before as it was.
struct Failure {
    const char* name;
    const char* markdown; // written to manual.md unless null; picture.ppm is there
    const char* pdf;      // relative to the test's folder
    const char* message;
};

void PrintTo(const Failure& failure, std::ostream* out) {
    *out << failure.name;
}

class ManualPdfFailures : public ManualPdf, public testing::WithParamInterface<Failure> {};

TEST_P(ManualPdfFailures, LeaveTheEarlierPdfAlone) {
    const Failure& failure = GetParam();
    if (failure.markdown)
        writeText(path("manual.md"), failure.markdown);
    writePicture(path("picture.ppm"));
    const fs::path pdf = path(failure.pdf);
    const bool folderExists = fs::is_directory(pdf.parent_path());
    if (folderExists)
        writeText(pdf, "the previous manual");

    const Outcome outcome = render(path("manual.md"), pdf);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_THAT(outcome.output, HasSubstr(failure.message));
    if (folderExists)
        EXPECT_EQ(readFile(pdf), "the previous manual");
    else
        EXPECT_FALSE(fs::exists(pdf));
    EXPECT_THAT(folderEntries(), testing::Not(testing::Contains(testing::HasSubstr(".pdf."))));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ManualPdfFailures,
    testing::Values(Failure{"NoMarkdownFile", nullptr, "manual.pdf", "manual.md"},
                    Failure{"PictureMissing", "# Title\n\n![gone](missing.png)\n", "manual.pdf",
                            "missing.png"},
                    // Polish letters in code page 1250 would print as nonsense.
                    Failure{"NotUtf8", "# Zaj\xEA\x63ie\n", "manual.pdf", "not valid UTF-8"},
                    Failure{"NoOutputFolder", "# Title\n\n![dot](picture.ppm)\n", "none/manual.pdf",
                            "cannot write"}),
    [](const testing::TestParamInfo<Failure>& failure) { return std::string(failure.param.name); });

TEST_F(ManualPdf, WithoutBothFilesIsAUsageError) {
    const Outcome outcome = runProgram({MANUAL_PDF_PROGRAM, path("only.md").string()});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_THAT(outcome.output, HasSubstr("--help"));
}

} // namespace
} // namespace konfigor
