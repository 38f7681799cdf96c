#include "calculators/TradeCalculator.h"

#include "platform/RuntimeError.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace korvane {
namespace {

using testing::FakePlatform;
using testing::FakeWindow;

class TradeCalculatorTest : public ::testing::Test {
protected:
    FakePlatform platform;
    Calculators calculators{platform};

    FakeWindow& form(TradeCalculator& calculator) {
        return dynamic_cast<FakeWindow&>(calculator.window());
    }
    std::string compute(TradeCalculator& calculator, const std::string& funds,
                        const std::string& unitPrice, const std::string& quantity) {
        FakeWindow& w = form(calculator);
        w.box("Text1").type(funds);
        w.box("Text2").type(unitPrice);
        w.box("Text3").type(quantity);
        w.button("Command1").click();
        return w.fakeLabel("Label5").text();
    }
};

struct ComputeRow {
    const char* name;
    const char* funds;
    const char* unitPrice;
    const char* quantity;
    const char* buy;
    const char* sell;
};

const ComputeRow computeRows[] = {
    {"all_empty", "", "", "", "0", "0"},
    {"example", "1000", "12.5", "3", "962.5", "1037.5"},
    {"funds_letters_only", "abc", "2", "3", "-6", "6"},
    {"unit_word_after_price", "1000", "12.5元", "2", "975", "1025"},
    {"negative_price", "0", "-5", "2", "10", "-10"},
    {"funds_only", "1000.50", "", "", "1000.5", "1000.5"},
    {"fullwidth_input", "１０００", "１２．５", "３", "962.5", "1037.5"},
    {"rounding_shown", "0.1", "0.2", "1", "-0.1", "0.3"},
    // The users' guide answers for this one: binary fractions leave a tiny remainder.
    {"binary_fraction_remainder", "0.3", "0.1", "3", "-5.55111512312578E-17", "0.6"},
    {"large_result", "0", "1E10", "1E10", "-1E+20", "1E+20"},
    // 1+2^-30 squared, rounded before the sum: the result is exactly 0. A fused
    // multiply-add would show the rounding error instead.
    {"product_rounded_before_sum", "1.00000000186264514923095703125",
     "1.000000000931322574615478515625", "1.000000000931322574615478515625", "0",
     "2.00000000372529"},
};

TEST_F(TradeCalculatorTest, ComputesTheFundsLeftInBothConfigurations) {
    for (const ComputeRow& row : computeRows) {
        EXPECT_EQ(compute(calculators.buy(), row.funds, row.unitPrice, row.quantity), row.buy)
            << row.name;
        EXPECT_EQ(compute(calculators.sell(), row.funds, row.unitPrice, row.quantity), row.sell)
            << row.name;
    }
}

TEST(EstimateFundsTest, RoundsTheProductBeforeTheSum) {
    const double q = 1.0 + 0x1p-30;
    const double m = 1.0 + 0x1p-29; // q × q rounded; the exact square has 2^-60 more
    EXPECT_EQ(estimateFunds(-m, q, q, +1), 0.0);
    EXPECT_EQ(estimateFunds(m, q, q, -1), 0.0);
    EXPECT_FALSE(estimateFunds(0, 1e200, 1e200, +1).has_value());
    EXPECT_FALSE(estimateFunds(1.7e308, 1e308, 1, +1).has_value());
    EXPECT_FALSE(estimateFunds(-1.7e308, 1e308, 1, -1).has_value());
    EXPECT_EQ(estimateFunds(1.7e308, 1e308, 1, -1), 1.7e308 - 1e308);
}

TEST_F(TradeCalculatorTest, InputsAreNeverRewritten) {
    TradeCalculator& buy = calculators.buy();
    EXPECT_EQ(compute(buy, "1000.50", "", ""), "1000.5");
    EXPECT_EQ(form(buy).box("Text1").text(), "1000.50");
    for (const std::string& entry : platform.log) {
        EXPECT_EQ(entry.find(".Text="), std::string::npos) << entry;
    }
}

TEST_F(TradeCalculatorTest, ReadsUnitPriceThenQuantityThenFunds) {
    TradeCalculator& buy = calculators.buy();
    platform.failOn("Form2.Text1.Text");
    platform.failOn("Form2.Text3.Text");
    try {
        compute(buy, "1", "2", "3");
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(std::string(e.what()), "failing Text");
    }
    platform.failing.clear();
    platform.failOn("Form2.Text2.Text");
    EXPECT_THROW(compute(buy, "1", "2", "3"), RuntimeError); // the first box read fails first
    EXPECT_EQ(form(buy).fakeLabel("Label5").text(), "");
}

TEST_F(TradeCalculatorTest, OverflowWarnsAndChangesNothing) {
    const struct {
        std::string name;
        std::string funds;
        std::string unitPrice;
        std::string quantity;
    } rows[] = {
        {"product_beyond_double", "1", "1E200", "1E200"},
        {"sum_beyond_double", "1.7E308", "-1E308", "1"},
        {"funds_too_large_to_read", "1E400", "1", "1"},
        {"huge_run_of_digits", "1", std::string(400, '9'), "1"},
    };
    for (TradeCalculator* calculator : {&calculators.buy(), &calculators.sell()}) {
        FakeWindow& w = form(*calculator);
        EXPECT_EQ(compute(*calculator, "10", "1", "1"),
                  calculator == &calculators.buy() ? "9" : "11");
        for (const auto& row : rows) {
            const std::size_t warnings = w.warnings.size();
            const std::string before = w.fakeLabel("Label5").text();
            const std::string shown = compute(*calculator, row.funds, row.unitPrice, row.quantity);
            if (row.name == "sum_beyond_double" && calculator == &calculators.sell()) {
                continue; // 1.7E308 - 1E308 is in range for the sell calculator
            }
            EXPECT_EQ(shown, before) << row.name;
            EXPECT_EQ(w.warnings.size(), warnings + 1) << row.name;
            EXPECT_EQ(w.box("Text1").text(), row.funds) << row.name;
        }
    }
}

TEST_F(TradeCalculatorTest, ClearEmptiesBoxesThenResultAndComputeShowsZero) {
    TradeCalculator& sell = calculators.sell();
    compute(sell, "1000", "12.5", "3");
    platform.log.clear();
    form(sell).button("Command3").click();
    EXPECT_EQ(platform.log,
              (std::vector<std::string>{"Form3.Text1.Text=", "Form3.Text2.Text=",
                                        "Form3.Text3.Text=", "Form3.Label5.Caption="}));
    form(sell).button("Command1").click();
    EXPECT_EQ(form(sell).fakeLabel("Label5").text(), "0");
}

TEST_F(TradeCalculatorTest, EachResultIsSpokenOnceAndClearingSpeaksNothing) {
    TradeCalculator& buy = calculators.buy();
    compute(buy, "1000", "12.5", "3");
    form(buy).button("Command1").click(); // the same result again is said again
    form(buy).button("Command3").click();
    compute(buy, "1e308", "1e308", "10"); // the warning box speaks for itself
    EXPECT_EQ(platform.announcements,
              (std::vector<std::string>{"Form2.Label5=962.5", "Form2.Label5=962.5"}));
}

TEST_F(TradeCalculatorTest, AClearStoppedAfterItsFirstWriteKeepsTheRest) {
    TradeCalculator& buy = calculators.buy();
    compute(buy, "1000", "12.5", "3");
    platform.failOn("Form2.Text2.Text");
    EXPECT_THROW(form(buy).button("Command3").click(), RuntimeError);
    EXPECT_EQ(form(buy).box("Text1").text(), "");
    EXPECT_EQ(form(buy).box("Text3").text(), "3");
    EXPECT_EQ(form(buy).fakeLabel("Label5").text(), "962.5");
}

TEST_F(TradeCalculatorTest, ToggleShowsHidesAndShowsTheSameWindowWithItsTexts) {
    TradeCalculator& buy = calculators.buy();
    buy.toggle();
    EXPECT_TRUE(buy.isVisible());
    compute(buy, "1000", "12.5", "3");
    buy.toggle();
    EXPECT_FALSE(buy.isVisible());
    buy.toggle();
    EXPECT_TRUE(buy.isVisible());
    EXPECT_EQ(form(buy).fakeLabel("Label5").text(), "962.5");
    EXPECT_EQ(form(buy).box("Text2").text(), "12.5");

    form(buy).button("Command2").click(); // its own Hide
    EXPECT_FALSE(buy.isVisible());
    buy.toggle();
    EXPECT_TRUE(buy.isVisible());
    EXPECT_EQ(form(buy).box("Text1").text(), "1000");
    EXPECT_EQ(platform.createdWindows, std::vector<std::string>{"Form2"});
}

TEST_F(TradeCalculatorTest, ClosedThroughItsFrameComesBackFresh) {
    TradeCalculator& sell = calculators.sell();
    sell.toggle();
    compute(sell, "1000", "12.5", "3");
    FakeWindow& closed = form(sell);
    closed.requestClose();
    EXPECT_FALSE(closed.exists());
    sell.toggle();
    EXPECT_TRUE(sell.isVisible());
    EXPECT_EQ(form(sell).box("Text1").text(), "");
    EXPECT_EQ(form(sell).fakeLabel("Label5").text(), "");
    EXPECT_EQ(platform.createdWindows, (std::vector<std::string>{"Form3", "Form3"}));
    compute(sell, "1", "1", "1");
    EXPECT_EQ(form(sell).fakeLabel("Label5").text(), "2"); // handlers bound to the new window
}

TEST_F(TradeCalculatorTest, BuyAndSellAreIndependent) {
    compute(calculators.buy(), "1000", "12.5", "3");
    calculators.sell().toggle();
    EXPECT_EQ(form(calculators.sell()).box("Text1").text(), "");
    EXPECT_EQ(form(calculators.sell()).fakeLabel("Label5").text(), "");
    form(calculators.sell()).button("Command3").click();
    EXPECT_EQ(form(calculators.buy()).fakeLabel("Label5").text(), "962.5");
    EXPECT_FALSE(calculators.buy().isVisible());
}

TEST(TradeCalculatorLayoutTest, BothConfigurationsHaveTheSameControls) {
    for (const TradeCalculatorConfig* config : {&buyCalculator, &sellCalculator}) {
        std::set<std::string_view> names;
        for (const ControlLayout& row : config->layout.controls) {
            names.insert(row.name);
        }
        EXPECT_EQ(names, (std::set<std::string_view>{"Command1", "Command2", "Command3", "Text1",
                                                     "Text2", "Text3", "Label1", "Label2", "Label3",
                                                     "Label4", "Label5"}));
    }
    // Side by side directly under the main window (client area 450 + 2685 twips, frame between).
    EXPECT_EQ(buyCalculator.layout.top, sellCalculator.layout.top);
    EXPECT_LT(buyCalculator.layout.left + buyCalculator.layout.width, sellCalculator.layout.left);
}

} // namespace
} // namespace korvane
