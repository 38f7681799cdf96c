#pragma once

#include "platform/qt/QtSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <memory>

namespace korvane {

// The five visible control kinds on their Qt widgets. A control holds its widget weakly:
// once the widget has gone, every call raises "object required".
template <typename Base, typename W> class QtControl : public Base {
public:
    explicit QtControl(W* widget) : m_widget(widget) {}
    void setEnabled(bool enabled) override { checked(m_widget).setEnabled(enabled); }
    bool isEnabled() const override { return checked(m_widget).isEnabled(); }

protected:
    QPointer<W> m_widget;
};

class QtCommandButton : public QtControl<CommandButton, QPushButton> {
public:
    QtCommandButton(QPushButton* button, Binding binding) : QtControl(button), m_binding(binding) {}
    std::string text() const override;
    void onClick(Handler handler) override;

private:
    Binding m_binding;
};

class QtLabel : public QtControl<Label, QLabel> {
public:
    QtLabel(QLabel* label, const ControlSettings& settings, Announcer* announcer)
        : QtControl(label), m_settings(settings), m_announcer(announcer) {}
    std::string text() const override;
    void setText(std::string_view text) override;

private:
    const ControlSettings& m_settings;
    Announcer* m_announcer;
};

class QtTextBox : public QtControl<TextBox, QLineEdit> {
public:
    using QtControl::QtControl;
    std::string text() const override;
    void setText(std::string_view text) override;
};

class QtComboBox : public QtControl<ComboBox, QComboBox> {
public:
    QtComboBox(QComboBox* combo, Binding binding) : QtControl(combo), m_binding(binding) {}
    std::string text() const override;
    void addItem(std::string_view text) override;
    int listCount() const override;
    std::string itemText(int index) const override;
    std::int16_t listIndex() const override;
    void onClick(Handler handler) override;

private:
    Binding m_binding;
};

class QtScrollBar : public QtControl<ScrollBar, QScrollBar> {
public:
    using QtControl::QtControl;
    void setValue(std::int16_t value) override;
    std::int16_t value() const override;
};

// A visible control built from its layout row: the widget, placed by the window, and the
// control that the handlers reach.
struct BuiltControl {
    QWidget* widget;
    std::unique_ptr<Control> control;
};

// Builds the widget of any kind but Timer, with the kind's settings from the row.
BuiltControl buildControl(const ControlLayout& row, QWidget& form, Binding binding);

} // namespace korvane
