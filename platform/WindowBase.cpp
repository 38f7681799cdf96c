#include "platform/WindowBase.h"

#include "platform/RuntimeError.h"

namespace korvane {

template <typename T> T& WindowBase::find(std::string_view name, int index) {
    for (auto& entry : m_controls) {
        if (entry.name == name && entry.index == index) {
            if (auto* control = dynamic_cast<T*>(entry.control.get())) {
                return *control;
            }
            break;
        }
    }
    std::string what = "对象不存在：" + std::string(name);
    if (index != noIndex) {
        what += "(" + std::to_string(index) + ")";
    }
    throw RuntimeError(error::objectRequired, what);
}

CommandButton& WindowBase::commandButton(std::string_view name) {
    return find<CommandButton>(name, noIndex);
}
Label& WindowBase::label(std::string_view name, int index) {
    return find<Label>(name, index);
}
TextBox& WindowBase::textBox(std::string_view name) {
    return find<TextBox>(name, noIndex);
}
ComboBox& WindowBase::comboBox(std::string_view name) {
    return find<ComboBox>(name, noIndex);
}
ScrollBar& WindowBase::scrollBar(std::string_view name) {
    return find<ScrollBar>(name, noIndex);
}
Timer& WindowBase::timer(std::string_view name) {
    return find<Timer>(name, noIndex);
}

void WindowBase::addControl(std::string_view name, int index, std::unique_ptr<Control> control) {
    m_controls.push_back({std::string(name), index, std::move(control)});
}

} // namespace korvane
