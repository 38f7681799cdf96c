#pragma once

#include "platform/Window.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// The name lookup that every backend shares: controls are registered under their
// layout name and array index, and found again by name, index and kind.
class WindowBase : public Window {
public:
    CommandButton& commandButton(std::string_view name) override;
    Label& label(std::string_view name, int index = noIndex) override;
    TextBox& textBox(std::string_view name) override;
    ComboBox& comboBox(std::string_view name) override;
    ScrollBar& scrollBar(std::string_view name) override;
    Timer& timer(std::string_view name) override;

protected:
    void addControl(std::string_view name, int index, std::unique_ptr<Control> control);
    void clearControls() { m_controls.clear(); }

private:
    template <typename T> T& find(std::string_view name, int index);

    struct Entry {
        std::string name;
        int index;
        std::unique_ptr<Control> control;
    };
    std::vector<Entry> m_controls;
};

} // namespace korvane
