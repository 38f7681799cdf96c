#include "mainwindow/MainWindow.h"

#include "mainwindow/Form1Layout.h"
#include "platform/RuntimeError.h"
#include "support/FakePlatform.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace korvane {
namespace {

using testing::FakePlatform;
using testing::FakeWindow;

const std::string initialCountdown = "距离下一次刷价还有：0分0秒";

class MainWindowTest : public ::testing::Test {
protected:
    FakePlatform platform;
    Calculators calculators{platform};
    MainWindow form1{platform, calculators};
    FakeWindow& form = dynamic_cast<FakeWindow&>(form1.window());

    std::string countdown() { return form.fakeLabel("Label2").text(); }
    int bar() { return form.bar("HSc1").value(); }
    void elapse(int seconds) {
        for (int i = 0; i < seconds; ++i) {
            form.fakeTimer("Timer1").elapse();
        }
    }
    // Com1, Timer1, Command1, Command2
    std::vector<bool> runState() {
        return {form.combo("Com1").isEnabled(), form.fakeTimer("Timer1").isEnabled(),
                form.button("Command1").isEnabled(), form.button("Command2").isEnabled()};
    }
    const std::vector<bool> stopped{true, false, true, false};
    const std::vector<bool> running{false, true, false, true};
};

TEST_F(MainWindowTest, LoadLeavesAStoppedClockAtZi) {
    EXPECT_TRUE(form.closeRemoved);
    EXPECT_EQ(runState(), stopped);
    EXPECT_EQ(form1.clock().positionInSteps(), 0);
    EXPECT_EQ(bar(), 0);
    EXPECT_EQ(countdown(), initialCountdown);
    const auto& com1 = form.combo("Com1");
    EXPECT_EQ(com1.text(), "请选择开始的时辰(默认：子时)");
    EXPECT_EQ(com1.listIndex(), -1);
    const std::vector<std::string> expected{"子时", "丑时", "寅时", "卯时", "辰时", "巳时",
                                            "午时", "未时", "申时", "酉时", "戌时", "亥时"};
    std::vector<std::string> items;
    for (int i = 0; i < com1.listCount(); ++i) {
        items.push_back(com1.itemText(i));
    }
    EXPECT_EQ(items, expected);
    EXPECT_FALSE(form.visible); // shown by start-up, after the load
}

TEST(Form1LayoutTest, TheMarksSpellTheDoubleHoursFromLeftToRight) {
    // The marks read 子 … 亥 子 from left to right, created from index 12 down to 0.
    std::vector<const ControlLayout*> marks;
    for (const ControlLayout& row : form1Layout.controls) {
        if (row.name == "Label1") {
            EXPECT_EQ(row.index, 12 - static_cast<int>(marks.size()));
            EXPECT_EQ(row.tabIndex, row.index + 1);
            marks.push_back(&row);
        }
    }
    ASSERT_EQ(marks.size(), 13U);
    std::sort(marks.begin(), marks.end(), [](auto* a, auto* b) { return a->left < b->left; });
    for (std::size_t i = 0; i < 13; ++i) {
        EXPECT_EQ(marks[i]->text, doubleHours[i % 12].mark) << i;
    }
}

TEST_F(MainWindowTest, PickingAStartSlotMovesBarAndPositionButNotTheCountdown) {
    const struct {
        int index;
        int bar;
    } picks[] = {{4, 100}, {11, 275}, {0, 0}, {7, 175}};
    for (const auto& pick : picks) {
        form.combo("Com1").pick(pick.index);
        EXPECT_EQ(bar(), pick.bar);
        EXPECT_EQ(form1.clock().positionInSteps(), pick.bar * 6);
    }
    EXPECT_EQ(countdown(), initialCountdown);
    EXPECT_EQ(runState(), stopped);
}

TEST_F(MainWindowTest, NoChosenEntryTakesThePositionFromTheBarAsItStands) {
    form.bar("HSc1").drag(137);
    form1.com1Click(); // list index -1
    EXPECT_EQ(bar(), 137);
    EXPECT_EQ(form1.clock().positionInSteps(), 137 * 6);
}

TEST_F(MainWindowTest, StartAndStopSwitchOnlyTheFourEnabledSettingsInOrder) {
    platform.log.clear();
    form.button("Command1").click();
    EXPECT_EQ(platform.log,
              (std::vector<std::string>{"Form1.Com1.Enabled=0", "Form1.Timer1.Enabled=1",
                                        "Form1.Command2.Enabled=1", "Form1.Command1.Enabled=0"}));
    EXPECT_EQ(runState(), running);
    form.button("Command1").click(); // disabled: no effect
    form.combo("Com1").pick(4);      // disabled: no effect
    EXPECT_EQ(form1.clock().positionInSteps(), 0);

    platform.log.clear();
    form.button("Command2").click();
    EXPECT_EQ(platform.log,
              (std::vector<std::string>{"Form1.Com1.Enabled=1", "Form1.Timer1.Enabled=0",
                                        "Form1.Command1.Enabled=1", "Form1.Command2.Enabled=0"}));
    EXPECT_EQ(runState(), stopped);
}

TEST_F(MainWindowTest, TypicalRunFromChen) {
    form.combo("Com1").pick(4);
    form.button("Command1").click();
    elapse(1);
    EXPECT_EQ(countdown(), "距离下依次刷价还有：9分59秒");
    EXPECT_EQ(bar(), 100);
    elapse(5);
    EXPECT_EQ(bar(), 101);
    elapse(593);
    EXPECT_EQ(countdown(), "距离下依次刷价还有：0分1秒");
    EXPECT_TRUE(platform.announcements.empty()); // the countdown is not spoken by itself
    elapse(1);
    EXPECT_EQ(countdown(), "现在刷价");
    EXPECT_EQ(bar(), 200);
    EXPECT_EQ(platform.announcements, std::vector<std::string>{"Form1.Label2=现在刷价"});
    elapse(1);
    EXPECT_EQ(countdown(), "距离下次刷价还有：9分59秒");
    EXPECT_EQ(platform.announcements.size(), 1u);

    form.button("Command2").click();
    elapse(30); // the timer is off: nothing moves
    EXPECT_EQ(countdown(), "距离下次刷价还有：9分59秒");
    EXPECT_EQ(form1.clock().positionInSteps(), 1201);
    form.button("Command1").click();
    elapse(1);
    EXPECT_EQ(countdown(), "距离下次刷价还有：9分58秒");
}

TEST_F(MainWindowTest, StartWithoutAChoiceRunsFromZi) {
    form.button("Command1").click();
    elapse(1);
    EXPECT_EQ(countdown(), "距离下一次刷价还有：9分59秒");
}

TEST_F(MainWindowTest, TickWritesTheBarThenTheText) {
    form.button("Command1").click();
    form.bar("HSc1").drag(250); // a hand-made move does not move the clock
    platform.log.clear();
    elapse(6);
    EXPECT_EQ(platform.log.back(), "Form1.Label2.Caption=距离下一次刷价还有：9分54秒");
    EXPECT_EQ(platform.log[platform.log.size() - 2], "Form1.HSc1.Value=1");
    EXPECT_EQ(bar(), 1);
}

TEST_F(MainWindowTest, AFailingBarWriteComesAfterTheClockMovedOn) {
    form.button("Command1").click();
    platform.failOn("Form1.HSc1.Value");
    EXPECT_THROW(form1.timer1Timer(), RuntimeError);
    EXPECT_EQ(form1.clock().positionInSteps(), 1);
    EXPECT_EQ(countdown(), initialCountdown); // the handler stopped before the text
}

TEST_F(MainWindowTest, ExitEndsTheProgramWhileRunning) {
    form.button("Command1").click();
    form.button("Command5").click();
    EXPECT_EQ(platform.endCount, 1);
}

TEST_F(MainWindowTest, CalculatorButtonsToggleTheirOwnCalculatorOnly) {
    EXPECT_TRUE(platform.createdWindows == std::vector<std::string>{"Form1"});
    form.button("Command3").click();
    EXPECT_TRUE(calculators.buy().isVisible());
    EXPECT_EQ(platform.createdWindows, (std::vector<std::string>{"Form1", "Form2"}));
    form.button("Command4").click();
    EXPECT_TRUE(calculators.sell().isVisible());
    form.button("Command3").click();
    EXPECT_FALSE(calculators.buy().isVisible());
    EXPECT_TRUE(calculators.sell().isVisible());
    EXPECT_EQ(platform.createdWindows, (std::vector<std::string>{"Form1", "Form2", "Form3"}));
}

TEST_F(MainWindowTest, CloseRequestIsRefused) {
    form.requestClose();
    EXPECT_TRUE(form.exists());
}

} // namespace
} // namespace korvane
