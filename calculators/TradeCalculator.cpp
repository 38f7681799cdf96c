#include "calculators/TradeCalculator.h"

#include "platform/NumberText.h"
#include "platform/RuntimeError.h"

#include <cmath>

namespace korvane {

namespace {
constexpr std::string_view overflowMessage = "计算结果超出了可以计算的范围，请检查输入的数字。";
}

std::optional<double> estimateFunds(double funds, double unitPrice, double quantity, int sign) {
    // Stored through a volatile so that no compiler setting fuses it into the sum below.
    const volatile double product = quantity * unitPrice;
    const double result = sign < 0 ? funds - product : funds + product;
    if (!std::isfinite(product) || !std::isfinite(result)) {
        return std::nullopt;
    }
    return result;
}

TradeCalculator::TradeCalculator(Platform& platform, const TradeCalculatorConfig& config)
    : m_platform(platform), m_config(config) {}

Window& TradeCalculator::window() {
    if (!m_form || !m_form->exists()) {
        m_form.reset();
        m_form = m_platform.createWindow(m_config.layout);
        m_form->commandButton("Command1").onClick([this] { compute(); });
        m_form->commandButton("Command2").onClick([this] { hide(); });
        m_form->commandButton("Command3").onClick([this] { clear(); });
    }
    return *m_form;
}

bool TradeCalculator::isVisible() {
    return window().isVisible();
}

void TradeCalculator::toggle() {
    if (!isVisible()) {
        window().show();
    } else if (isVisible()) {
        window().hide();
    }
}

void TradeCalculator::compute() {
    Window& form = window();
    std::optional<double> result;
    try {
        // Read in this order: unit price, quantity, funds.
        const double unitPrice = readNumber(form.textBox("Text2").text());
        const double quantity = readNumber(form.textBox("Text3").text());
        const double funds = readNumber(form.textBox("Text1").text());
        result = estimateFunds(funds, unitPrice, quantity, m_config.sign);
    } catch (const RuntimeError& e) {
        if (e.code() != error::overflow) {
            throw;
        }
    }
    // A number too large to compute with must not take the running clock down with it:
    // say so, and leave every text as it was.
    if (!result) {
        form.showWarning(overflowMessage);
        return;
    }
    form.label("Label5").setText(formatNumber(*result));
}

void TradeCalculator::hide() {
    window().hide();
}

void TradeCalculator::clear() {
    Window& form = window();
    form.textBox("Text1").setText("");
    form.textBox("Text2").setText("");
    form.textBox("Text3").setText("");
    form.label("Label5").setText("");
}

TradeCalculator& Calculators::instance(std::unique_ptr<TradeCalculator>& slot,
                                       const TradeCalculatorConfig& config) {
    if (!slot) {
        slot = std::make_unique<TradeCalculator>(m_platform, config);
    }
    return *slot;
}

} // namespace korvane
