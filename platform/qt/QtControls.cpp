#include "platform/qt/QtControls.h"

#include "platform/RuntimeError.h"
#include "platform/qt/QtAccessibility.h"
#include "platform/qt/QtPlatform.h"

#include <limits>

namespace korvane {

std::string QtCommandButton::text() const {
    return checked(m_widget).text().toStdString();
}

void QtCommandButton::onClick(Handler handler) {
    QObject::connect(&checked(m_widget), &QPushButton::clicked, m_binding.context,
                     m_binding.platform.guarded(std::move(handler)));
}

std::string QtLabel::text() const {
    return checked(m_widget).text().toStdString();
}

void QtLabel::setText(std::string_view text) {
    const QString shown = toQString(text);
    checked(m_widget).setText(shown);
    if (m_announcer && isAnnounced(m_settings, text)) {
        m_announcer->announce(shown);
    }
}

std::string QtTextBox::text() const {
    return checked(m_widget).text().toStdString();
}

void QtTextBox::setText(std::string_view text) {
    checked(m_widget).setText(toQString(text));
}

std::string QtComboBox::text() const {
    return checked(m_widget).currentText().toStdString();
}

void QtComboBox::addItem(std::string_view text) {
    QComboBox& combo = checked(m_widget);
    // Adding to an empty list would choose the new entry and overwrite the text field.
    const int chosen = combo.currentIndex();
    const QString field = combo.currentText();
    combo.addItem(toQString(text));
    if (chosen < 0) {
        combo.setCurrentIndex(-1);
        combo.setEditText(field);
    }
}

int QtComboBox::listCount() const {
    return checked(m_widget).count();
}

std::string QtComboBox::itemText(int index) const {
    return checked(m_widget).itemText(index).toStdString();
}

std::int16_t QtComboBox::listIndex() const {
    return checkedNarrow<std::int16_t>(checked(m_widget).currentIndex());
}

void QtComboBox::onClick(Handler handler) {
    QObject::connect(
        &checked(m_widget), &QComboBox::activated, m_binding.context,
        [guarded = m_binding.platform.guarded(std::move(handler))](int) { guarded(); });
}

void QtScrollBar::setValue(std::int16_t value) {
    QScrollBar& bar = checked(m_widget);
    if (value < bar.minimum() || value > bar.maximum()) {
        throw RuntimeError(error::invalidPropertyValue, "无效的属性值");
    }
    bar.setValue(value);
}

std::int16_t QtScrollBar::value() const {
    return checkedNarrow<std::int16_t>(checked(m_widget).value());
}

BuiltControl buildControl(const ControlLayout& row, QWidget& form, Binding binding) {
    const QString text = toQString(row.text);
    switch (row.kind) {
    case ControlKind::CommandButton: {
        auto* button = new QPushButton(text, &form);
        // Enter presses the focused button, as Space does. Outside a dialog there is no
        // default button, so Enter in a box still presses nothing.
        button->setAutoDefault(true);
        // Reached with Tab; a click leaves the focus where the user was typing.
        button->setFocusPolicy(Qt::TabFocus);
        return {button, std::make_unique<QtCommandButton>(button, binding)};
    }
    case ControlKind::Label: {
        auto* label = new QLabel(text, &form);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        return {label, std::make_unique<QtLabel>(label, row.settings, binding.announcer)};
    }
    case ControlKind::TextBox: {
        auto* box = new QLineEdit(text, &form);
        box->setMaxLength(std::numeric_limits<int>::max());
        return {box, std::make_unique<QtTextBox>(box)};
    }
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(&form);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        // The click event is the picking of an entry. Qt would also take Enter in the text
        // field, or leaving it, as picking the entry whose text was typed: cut both.
        combo->setCompleter(nullptr);
        QObject::disconnect(combo->lineEdit(), &QLineEdit::returnPressed, combo, nullptr);
        QObject::disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
        combo->setEditText(text);
        return {combo, std::make_unique<QtComboBox>(combo, binding)};
    }
    case ControlKind::HScrollBar: {
        auto* bar = new QScrollBar(Qt::Horizontal, &form);
        bar->setRange(row.settings.min, row.settings.max);
        bar->setValue(row.settings.value);
        bar->setSingleStep(row.settings.smallChange);
        bar->setPageStep(row.settings.largeChange);
        bar->setFocusPolicy(Qt::StrongFocus);
        return {bar, std::make_unique<QtScrollBar>(bar)};
    }
    case ControlKind::Timer:
        break;
    }
    return {nullptr, nullptr};
}

} // namespace korvane
