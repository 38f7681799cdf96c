#pragma once

#include "platform/WindowBase.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace korvane::testing {

// An in-memory platform for driving handlers without a toolkit. Every property write is
// logged as "Window.Control.Property=value" so that tests can check what a handler
// touched and in which order; a property can be made to fail to test error paths.
class FakePlatform : public Platform {
public:
    std::unique_ptr<Window> createWindow(const WindowLayout& layout) override;
    void endProgram() override { ++endCount; }

    // Makes every later call to this property ("Form1.HSc1.Value") raise an error.
    void failOn(std::string property) { failing.insert(std::move(property)); }

    std::vector<std::string> log;
    std::set<std::string> failing;
    std::vector<std::string> createdWindows;
    // What a screen reader speaks by itself: "Window.Control=text", in order.
    std::vector<std::string> announcements;
    int endCount = 0;
};

class FakeWindow;

class FakeControlBase {
public:
    FakeControlBase(FakePlatform& platform, std::string path, bool enabled)
        : m_platform(platform), m_path(std::move(path)), m_enabled(enabled) {}

protected:
    void write(const std::string& property, const std::string& value);
    void read(const std::string& property) const;

    FakePlatform& m_platform;
    std::string m_path;
    bool m_enabled;
};

// Enabled, as every kind of control has it: logged like any other property.
template <typename Base> class FakeControl : public Base, public FakeControlBase {
public:
    FakeControl(FakePlatform& platform, std::string path, bool enabled)
        : FakeControlBase(platform, std::move(path), enabled) {}
    void setEnabled(bool enabled) override {
        write("Enabled", enabled ? "1" : "0");
        m_enabled = enabled;
    }
    bool isEnabled() const override { return m_enabled; }
};

class FakeCommandButton : public FakeControl<CommandButton> {
public:
    FakeCommandButton(FakePlatform& p, std::string path, std::string text, bool enabled)
        : FakeControl(p, std::move(path), enabled), m_text(std::move(text)) {}
    std::string text() const override { return m_text; }
    void onClick(Handler handler) override { m_click = std::move(handler); }
    // A user's click: only an enabled button takes it.
    void click();

private:
    std::string m_text;
    Handler m_click;
};

class FakeLabel : public FakeControl<Label> {
public:
    FakeLabel(FakePlatform& p, std::string path, std::string text, const ControlSettings& settings)
        : FakeControl(p, std::move(path), true), m_text(std::move(text)), m_settings(settings) {}
    std::string text() const override;
    void setText(std::string_view text) override;

private:
    std::string m_text;
    const ControlSettings& m_settings;
};

class FakeTextBox : public FakeControl<TextBox> {
public:
    FakeTextBox(FakePlatform& p, std::string path, std::string text)
        : FakeControl(p, std::move(path), true), m_text(std::move(text)) {}
    std::string text() const override;
    void setText(std::string_view text) override;
    // The user types: no event, the text simply changes.
    void type(std::string text) { m_text = std::move(text); }

private:
    std::string m_text;
};

class FakeComboBox : public FakeControl<ComboBox> {
public:
    FakeComboBox(FakePlatform& p, std::string path, std::string text)
        : FakeControl(p, std::move(path), true), m_text(std::move(text)) {}
    std::string text() const override { return m_text; }
    void addItem(std::string_view text) override;
    int listCount() const override { return static_cast<int>(m_items.size()); }
    std::string itemText(int index) const override;
    std::int16_t listIndex() const override;
    void onClick(Handler handler) override { m_click = std::move(handler); }
    // The user picks entry `index` from the list.
    void pick(int index);

private:
    std::string m_text;
    std::vector<std::string> m_items;
    int m_index = -1;
    Handler m_click;
};

class FakeScrollBar : public FakeControl<ScrollBar> {
public:
    FakeScrollBar(FakePlatform& p, std::string path, int min, int max, int value)
        : FakeControl(p, std::move(path), true), m_min(min), m_max(max), m_value(value) {}
    void setValue(std::int16_t value) override;
    std::int16_t value() const override;
    // The user drags the bar: no event.
    void drag(int value) { m_value = value; }

private:
    int m_min;
    int m_max;
    int m_value;
};

class FakeTimer : public FakeControl<Timer> {
public:
    FakeTimer(FakePlatform& p, std::string path, bool enabled)
        : FakeControl(p, std::move(path), enabled) {}
    void onTimer(Handler handler) override { m_timer = std::move(handler); }
    // One interval has passed: fires only while enabled.
    void elapse();

private:
    Handler m_timer;
};

class FakeWindow : public WindowBase {
public:
    FakeWindow(FakePlatform& platform, const WindowLayout& layout);

    void removeCloseCommand() override { closeRemoved = true; }
    bool exists() const override { return !closed; }
    bool isVisible() const override { return visible; }
    void show() override;
    void hide() override;
    void showWarning(std::string_view text) override { warnings.emplace_back(text); }

    // The user asks the frame to close the window; refused once Close is removed.
    void requestClose();

    FakeCommandButton& button(std::string_view name);
    FakeTextBox& box(std::string_view name);
    FakeLabel& fakeLabel(std::string_view name, int index = noIndex);
    FakeComboBox& combo(std::string_view name);
    FakeScrollBar& bar(std::string_view name);
    FakeTimer& fakeTimer(std::string_view name);

    const WindowLayout& layout;
    bool closeRemoved = false;
    bool closed = false;
    bool visible = false;
    std::vector<std::string> warnings;

private:
    FakePlatform& m_platform;
};

} // namespace korvane::testing
