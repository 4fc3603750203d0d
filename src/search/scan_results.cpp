#include "search/scan_results.h"

#include "texts/message_format.h"

#include <algorithm>
#include <string_view>

namespace konfigor {
namespace {

// The results grid's own format; no language-file line replaces it.
constexpr std::string_view kScoreFormat = "%5.2f %%";

} // namespace

void sortByScore(std::vector<ScanResult>& results) {
    std::stable_sort(results.begin(), results.end(),
                     [](const ScanResult& a, const ScanResult& b) { return a.score > b.score; });
}

std::string scoreText(double score) {
    return formatMessage(kScoreFormat, {score}).value_or(std::string());
}

} // namespace konfigor
