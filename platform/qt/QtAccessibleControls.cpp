#include "platform/qt/QtAccessibleControls.h"

#include "platform/qt/QtAccessibility.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QMessageBox>
#include <QStyle>
#include <QStyleOptionFrame>

namespace korvane {

namespace {

// A text that a screen reader reads as one run of attributes, which holds every offset.
// Qt's own line edit (6.4) answers each offset with an empty run; Orca, which splits a line
// into such runs, then reads a box's text without its last character ("100" for 1000).
class WholeTextRun : public QAccessibleTextInterface {
public:
    QString attributes(int offset, int* start, int* end) const override {
        const bool inside = offset >= 0 && offset <= characterCount();
        *start = inside ? 0 : -1;
        *end = inside ? characterCount() : -1;
        return {};
    }
    QString text(int start, int end) const override {
        return start < 0 || end < start ? QString() : shown().mid(start, end - start);
    }
    int characterCount() const override { return int(shown().size()); }

private:
    virtual QString shown() const = 0; // the text as a screen reader may have it
};

// A box's text as a screen reader reads it: one run, and the rest is what a line edit tells
// of itself.
class BoxAccessible : public QAccessibleWidget,
                      public WholeTextRun,
                      public QAccessibleEditableTextInterface {
public:
    explicit BoxAccessible(QLineEdit* box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        if (type == QAccessible::EditableTextInterface) {
            return static_cast<QAccessibleEditableTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text which) const override {
        return which == QAccessible::Value ? shown() : QAccessibleWidget::text(which);
    }
    void setText(QAccessible::Text which, const QString& text) override {
        if (which != QAccessible::Value) {
            QAccessibleWidget::setText(which, text);
        } else if (!box()->isReadOnly()) {
            box()->setText(text);
        }
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = box()->isReadOnly();
        state.editable = !state.readOnly;
        state.selectableText = true;
        state.passwordEdit = box()->echoMode() != QLineEdit::Normal;
        return state;
    }

    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index == 0 && box()->hasSelectedText()) {
            *start = box()->selectionStart();
            *end = box()->selectionEnd();
        }
    }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override {
        if (index == 0) {
            box()->deselect();
        }
    }
    void setSelection(int index, int start, int end) override {
        if (index == 0) {
            box()->setSelection(start, end - start);
        }
    }
    void scrollToSubstring(int start, int end) override {
        box()->setCursorPosition(end);
        box()->setCursorPosition(start);
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint inBox = box()->mapFromGlobal(point);
        return box()->rect().contains(inBox) ? box()->cursorPositionAt(inBox) : -1;
    }
    QRect characterRect(int offset) const override {
        // Where the text starts, as the box's style lays it out; a box this short never
        // scrolls its numbers, so each character stands at its advance from there.
        if (offset < 0 || offset >= characterCount()) {
            return {};
        }
        QStyleOptionFrame option;
        option.initFrom(box());
        const QRect area =
            box()->style()->subElementRect(QStyle::SE_LineEditContents, &option, box()) -
            box()->textMargins();
        const QFontMetrics metrics(box()->font());
        const int x = area.x() + metrics.horizontalAdvance(shown().left(offset));
        const int y = area.y() + (area.height() - metrics.height()) / 2;
        return {box()->mapToGlobal(QPoint(x, y)),
                QSize(metrics.horizontalAdvance(shown().mid(offset, 1)), metrics.height())};
    }

    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override {
        if (box()->isReadOnly()) {
            return;
        }
        box()->setText(box()->text().replace(start, end - start, text));
        box()->setCursorPosition(start + int(text.size()));
    }

private:
    QLineEdit* box() const { return static_cast<QLineEdit*>(widget()); }
    // What a screen reader may read: nothing of a password.
    QString shown() const override {
        return box()->echoMode() == QLineEdit::Normal ? box()->text() : QString();
    }
};

// A message box (the overflow warning, a fatal error) as an alert whose text is its message.
// Orca reads an alert's text first; else Orca 48 reads only labels of three words or more,
// counted between spaces, and a Chinese message has no spaces.
class MessageAccessible : public QAccessibleWidget, public WholeTextRun {
public:
    explicit MessageAccessible(QMessageBox* box)
        : QAccessibleWidget(box, QAccessible::AlertMessage) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                                  : QAccessibleWidget::interface_cast(type);
    }

    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    int selectionCount() const override { return 0; }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    void scrollToSubstring(int, int) override {}
    int offsetAtPoint(const QPoint&) const override { return -1; }
    QRect characterRect(int) const override { return {}; }

private:
    QString shown() const override { return static_cast<QMessageBox*>(widget())->text(); }
};

// A list of choices whose name is what it is for. Qt's own names an editable list by its
// field's text on Linux, leaving the name to a caption the list is labelled by; Orca 48 keeps
// such labels for a while by the identity of its proxy objects, which it reuses, so a later
// list may be read without its caption. The rest is what Qt tells of a list: its popup and
// its field as children, the field as its focus, opening and closing as actions.
class ListAccessible : public QAccessibleWidget {
public:
    explicit ListAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text which) const override {
        if (which == QAccessible::Value) {
            return list()->isEditable() ? list()->lineEdit()->text() : list()->currentText();
        }
        if (which == QAccessible::Accelerator) {
            return QKeySequence(Qt::Key_Down).toString(QKeySequence::NativeText);
        }
        return QAccessibleWidget::text(which);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = list()->view()->isVisible();
        state.editable = list()->isEditable();
        return state;
    }

    int childCount() const override { return list()->isEditable() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        QWidget* child = nullptr;
        if (index == 0) {
            child = list()->view();
        } else if (index == 1 && list()->isEditable()) {
            child = list()->lineEdit();
        }
        return child ? QAccessible::queryAccessibleInterface(child) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int index = 0; index < childCount(); ++index) {
            if (child && child->object() && this->child(index)->object() == child->object()) {
                return index;
            }
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        QLineEdit* field = list()->lineEdit();
        return field && field->rect().contains(field->mapFromGlobal(QPoint(x, y))) ? child(1)
                                                                                   : nullptr;
    }
    // The list passes its focus on to its field, which is where the typing goes.
    QAccessibleInterface* focusChild() const override {
        return list()->isEditable() ? child(1) : QAccessibleWidget::focusChild();
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) {
            return;
        }
        if (list()->view()->isVisible()) {
            list()->hidePopup();
        } else {
            list()->showPopup();
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
};

#ifdef KORVANE_QT_VALUE_TEXT
// Orca 48 reads an editable list's value from its field only where the field says it is a
// single line, which Qt's never does; else from the chosen item, and before any choice from
// the list's name. The value's text, told outright, is read whatever the field holds.
class ValueTextListAccessible : public ListAccessible, public QAccessibleAttributesInterface {
public:
    using ListAccessible::ListAccessible;

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::AttributesInterface
                   ? static_cast<QAccessibleAttributesInterface*>(this)
                   : ListAccessible::interface_cast(type);
    }
    QList<QAccessible::Attribute> attributeKeys() const override {
        return {QAccessible::Attribute::Custom};
    }
    QVariant attributeValue(QAccessible::Attribute key) const override {
        if (key != QAccessible::Attribute::Custom) {
            return {};
        }
        return QVariant::fromValue(
            QHash<QString, QString>{{QStringLiteral("valuetext"), text(QAccessible::Value)}});
    }
};
#else
using ValueTextListAccessible = ListAccessible; // Qt tells no attributes of a program's own
#endif

} // namespace

QAccessibleInterface* accessibleControlFor(QObject* object) {
    if (auto* box = qobject_cast<QLineEdit*>(object)) {
        return new BoxAccessible(box);
    }
    if (auto* box = qobject_cast<QMessageBox*>(object)) {
        return new MessageAccessible(box);
    }
    if (auto* list = qobject_cast<QComboBox*>(object)) {
        return new ValueTextListAccessible(list);
    }
    return nullptr;
}

} // namespace korvane
