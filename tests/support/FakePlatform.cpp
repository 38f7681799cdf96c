#include "FakePlatform.h"

#include "platform/RuntimeError.h"

namespace korvane::testing {

namespace {
std::string controlPath(const WindowLayout& window, const ControlLayout& row) {
    std::string path = std::string(window.name) + "." + std::string(row.name);
    if (row.index != noIndex) {
        path += "(" + std::to_string(row.index) + ")";
    }
    return path;
}
} // namespace

std::unique_ptr<Window> FakePlatform::createWindow(const WindowLayout& layout) {
    createdWindows.emplace_back(layout.name);
    return std::make_unique<FakeWindow>(*this, layout);
}

void FakeControlBase::read(const std::string& property) const {
    if (m_platform.failing.count(m_path + "." + property) != 0) {
        throw RuntimeError(error::invalidPropertyValue, "failing " + property);
    }
}

void FakeControlBase::write(const std::string& property, const std::string& value) {
    read(property);
    m_platform.log.push_back(m_path + "." + property + "=" + value);
}

void FakeCommandButton::click() {
    if (m_enabled && m_click) {
        m_click();
    }
}

std::string FakeLabel::text() const {
    read("Caption");
    return m_text;
}
void FakeLabel::setText(std::string_view text) {
    write("Caption", std::string(text));
    m_text = text;
    if (isAnnounced(m_settings, text)) {
        m_platform.announcements.push_back(m_path + "=" + m_text);
    }
}

std::string FakeTextBox::text() const {
    read("Text");
    return m_text;
}
void FakeTextBox::setText(std::string_view text) {
    write("Text", std::string(text));
    m_text = text;
}

void FakeComboBox::addItem(std::string_view text) {
    write("AddItem", std::string(text));
    m_items.emplace_back(text);
}
std::string FakeComboBox::itemText(int index) const {
    return m_items.at(static_cast<std::size_t>(index));
}
std::int16_t FakeComboBox::listIndex() const {
    read("ListIndex");
    return static_cast<std::int16_t>(m_index);
}
void FakeComboBox::pick(int index) {
    if (!m_enabled) {
        return;
    }
    m_index = index;
    m_text = m_items.at(static_cast<std::size_t>(index));
    if (m_click) {
        m_click();
    }
}

void FakeScrollBar::setValue(std::int16_t value) {
    write("Value", std::to_string(value));
    if (value < m_min || value > m_max) {
        throw RuntimeError(error::invalidPropertyValue, "无效的属性值");
    }
    m_value = value;
}
std::int16_t FakeScrollBar::value() const {
    read("Value");
    return static_cast<std::int16_t>(m_value);
}

void FakeTimer::elapse() {
    if (m_enabled && m_timer) {
        m_timer();
    }
}

FakeWindow::FakeWindow(FakePlatform& platform, const WindowLayout& windowLayout)
    : layout(windowLayout), m_platform(platform) {
    for (const ControlLayout& row : layout.controls) {
        const std::string path = controlPath(layout, row);
        const std::string text(row.text);
        const bool enabled = row.settings.enabled;
        std::unique_ptr<Control> control;
        switch (row.kind) {
        case ControlKind::CommandButton:
            control = std::make_unique<FakeCommandButton>(platform, path, text, enabled);
            break;
        case ControlKind::Label:
            control = std::make_unique<FakeLabel>(platform, path, text, row.settings);
            break;
        case ControlKind::TextBox:
            control = std::make_unique<FakeTextBox>(platform, path, text);
            break;
        case ControlKind::ComboBox:
            control = std::make_unique<FakeComboBox>(platform, path, text);
            break;
        case ControlKind::HScrollBar:
            control = std::make_unique<FakeScrollBar>(platform, path, row.settings.min,
                                                      row.settings.max, row.settings.value);
            break;
        case ControlKind::Timer:
            control = std::make_unique<FakeTimer>(platform, path, enabled);
            break;
        }
        addControl(row.name, row.index, std::move(control));
    }
}

void FakeWindow::show() {
    m_platform.log.push_back(std::string(layout.name) + ".Show");
    visible = true;
}

void FakeWindow::hide() {
    m_platform.log.push_back(std::string(layout.name) + ".Hide");
    visible = false;
}

void FakeWindow::requestClose() {
    if (!closeRemoved) {
        closed = true;
        visible = false;
    }
}

FakeCommandButton& FakeWindow::button(std::string_view name) {
    return dynamic_cast<FakeCommandButton&>(commandButton(name));
}
FakeTextBox& FakeWindow::box(std::string_view name) {
    return dynamic_cast<FakeTextBox&>(textBox(name));
}
FakeLabel& FakeWindow::fakeLabel(std::string_view name, int index) {
    return dynamic_cast<FakeLabel&>(label(name, index));
}
FakeComboBox& FakeWindow::combo(std::string_view name) {
    return dynamic_cast<FakeComboBox&>(comboBox(name));
}
FakeScrollBar& FakeWindow::bar(std::string_view name) {
    return dynamic_cast<FakeScrollBar&>(scrollBar(name));
}
FakeTimer& FakeWindow::fakeTimer(std::string_view name) {
    return dynamic_cast<FakeTimer&>(timer(name));
}

} // namespace korvane::testing
