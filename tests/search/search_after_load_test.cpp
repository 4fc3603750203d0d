// The search as the session starts it by itself, after the load that follows connecting.
#include "search/scripted_search_windows.h"
#include "support/app_core_fixture.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

// The option "Po wczytaniu danych przejdź do okna wyszukiwania plików" on or off.
class SearchAfterLoadTest : public testing_support::AppCoreTest,
                            public testing::WithParamInterface<bool> {};

TEST_P(SearchAfterLoadTest, TheLoadAfterConnectingOpensTheSearchWhenTheOptionSaysSo) {
    testing_support::ScriptedSearchWindows windows;
    windows.criteriaAnswer = [](const SearchCriteria&) { return std::nullopt; };
    core.search().setWindows(windows);
    configuration.setOpenSearchAfterLoad(GetParam());
    core.takeOptions();
    started();

    connectToReceiver();

    // The sheet is not saved to disk after a load, yet nothing is asked first.
    EXPECT_FALSE(core.saveState().savedToDisk());
    EXPECT_TRUE(prompts.asked().empty());
    EXPECT_EQ(windows.shown,
              GetParam() ? std::vector<std::string>{"criteria"} : std::vector<std::string>{});
    EXPECT_FALSE(core.state().searchAfterLoad);
}

INSTANTIATE_TEST_SUITE_P(Option, SearchAfterLoadTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& param) {
                             return param.param ? std::string("On") : std::string("Off");
                         });

} // namespace
} // namespace konfigor
