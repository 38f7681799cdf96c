#pragma once

#include "calculators/TradeCalculatorConfig.h"
#include "platform/Window.h"

#include <memory>
#include <optional>

namespace korvane {

// funds + sign × quantity × unit price, with the product rounded to a double before the
// sum; no value where the product or the result lies beyond the range of a double.
std::optional<double> estimateFunds(double funds, double unitPrice, double quantity, int sign);

// The single instance of one trade calculator kind. It keeps no numbers of its own: the
// texts of its boxes and of its result are the whole state. Its window is built from the
// configuration's layout on first use, and again if the user closed it through its frame;
// hiding keeps the window and every text.
class TradeCalculator {
public:
    TradeCalculator(Platform& platform, const TradeCalculatorConfig& config);

    // Builds the window, hidden, if it does not exist.
    bool isVisible();
    // Shows a hidden calculator (modeless, without an owner); hides a visible one, even
    // one that lies behind other windows.
    void toggle();

    // Handlers of the calculator's own buttons.
    void compute(); // Command1
    void hide();    // Command2
    void clear();   // Command3

    Window& window();

private:
    Platform& m_platform;
    const TradeCalculatorConfig& m_config;
    std::unique_ptr<Window> m_form;
};

// The program-wide calculator instances, each created on first use and kept until the
// program ends.
class Calculators {
public:
    explicit Calculators(Platform& platform) : m_platform(platform) {}

    TradeCalculator& buy() { return instance(m_buy, buyCalculator); }    // Form2
    TradeCalculator& sell() { return instance(m_sell, sellCalculator); } // Form3

private:
    TradeCalculator& instance(std::unique_ptr<TradeCalculator>& slot,
                              const TradeCalculatorConfig& config);

    Platform& m_platform;
    std::unique_ptr<TradeCalculator> m_buy;
    std::unique_ptr<TradeCalculator> m_sell;
};

} // namespace korvane
