#include "platform/qt/QtAccessibility.h"

#include "platform/qt/QtWindow.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>

namespace korvane {

namespace {

class Notice : public QWidget {
public:
    explicit Notice(QWidget& window) : QWidget(&window) {
        setObjectName(QStringLiteral("notice"));
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(0, 0, 0, 0);
        hide();
    }
};

QAccessibleInterface* accessibleFor(const QString&, QObject* object) {
    // Qt would expose a plain top-level widget as a filler, which has no title.
    if (auto* form = dynamic_cast<FormWidget*>(object)) {
        return new QAccessibleWidget(form, QAccessible::Window);
    }
    if (auto* notice = dynamic_cast<Notice*>(object)) {
        return new QAccessibleWidget(notice, QAccessible::Notification);
    }
    return nullptr;
}

} // namespace

void installAccessibility() {
    QAccessible::installFactory(accessibleFor);
}

void nameForScreenReaders(QWidget& control, const QString& name) {
    control.setAccessibleName(name);
    if (auto* list = qobject_cast<QComboBox*>(&control); list && list->isEditable()) {
        auto* caption = new QLabel(name, list->parentWidget());
        caption->setObjectName(list->objectName() + QStringLiteral("Caption"));
        caption->setBuddy(list);
        caption->hide();
    }
}

Announcer::Announcer(QWidget& window) : m_notice(new Notice(window)) {}

void Announcer::announce(const QString& text) {
    if (!m_notice) {
        return; // the window is going
    }
    // Shown again, a notification is spoken again, even with the text it had.
    m_notice->hide();
    m_notice->setAccessibleName(text);
    m_notice->show();
}

} // namespace korvane
