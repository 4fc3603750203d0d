#include "gui/widgets/toggle_button.h"

#include <memory>
#include <vector>

#include <QWidget>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

class ToggleButtonTest : public testing::Test {
protected:
    // What a button's user clicks reported.
    static std::shared_ptr<std::vector<bool>> reportsOf(ToggleButton* button) {
        auto reports = std::make_shared<std::vector<bool>>();
        QObject::connect(button, &ToggleButton::toggledByUser,
                         [reports](bool pressed) { reports->push_back(pressed); });
        return reports;
    }

    ToggleButton* addButton(QWidget& parent, int group = 0) {
        auto* button = new ToggleButton(&parent);
        button->setGroupIndex(group);
        return button;
    }

    QWidget window;
};

TEST_F(ToggleButtonTest, UserClickTogglesAndReportsCodeDoesNot) {
    ToggleButton* button = addButton(window);
    const auto reports = reportsOf(button);

    button->click();
    EXPECT_TRUE(button->isPressed());
    button->click();
    EXPECT_FALSE(button->isPressed());
    button->setPressed(true);
    EXPECT_TRUE(button->isPressed());
    button->setPressed(false);

    EXPECT_EQ(*reports, (std::vector<bool>{true, false}));
}

TEST_F(ToggleButtonTest, GroupMembersReleaseEachOtherSilently) {
    ToggleButton* first = addButton(window, 1);
    ToggleButton* second = addButton(window, 1);
    ToggleButton* otherGroup = addButton(window, 2);
    ToggleButton* ungrouped = addButton(window, 0);
    QWidget otherParent;
    ToggleButton* sameIndexElsewhere = addButton(otherParent, 1);
    otherGroup->setPressed(true);
    ungrouped->setPressed(true);
    sameIndexElsewhere->setPressed(true);
    const auto firstReports = reportsOf(first);

    first->click();
    second->click();
    EXPECT_FALSE(first->isPressed());
    EXPECT_TRUE(second->isPressed());
    EXPECT_EQ(*firstReports, std::vector<bool>{true}); // its own click only

    first->setPressed(true); // from code, the group rule still holds
    EXPECT_FALSE(second->isPressed());
    EXPECT_TRUE(otherGroup->isPressed());
    EXPECT_TRUE(ungrouped->isPressed());
    EXPECT_TRUE(sameIndexElsewhere->isPressed());
}

TEST_F(ToggleButtonTest, GroupKeepsOneDownUnlessAllUpIsAllowed) {
    ToggleButton* first = addButton(window, 3);
    ToggleButton* second = addButton(window, 3);
    const auto reports = reportsOf(first);

    first->click();
    first->click();
    EXPECT_TRUE(first->isPressed());
    EXPECT_EQ(*reports, std::vector<bool>{true}); // the refused release reports nothing

    second->setAllowAllUp(true); // shared by the group
    EXPECT_TRUE(first->allowAllUp());
    first->click();
    EXPECT_FALSE(first->isPressed());
    EXPECT_FALSE(second->isPressed());
    EXPECT_EQ(*reports, (std::vector<bool>{true, false}));
}

} // namespace
} // namespace konfigor
