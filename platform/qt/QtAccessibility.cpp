#include "platform/qt/QtAccessibility.h"

#include "platform/qt/QtAccessibleControls.h"
#include "platform/qt/QtWindow.h"

#include <QAccessibleWidget>

namespace korvane {

namespace {

#ifndef KORVANE_QT_ANNOUNCEMENTS
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
#endif

QAccessibleInterface* accessibleFor(const QString&, QObject* object) {
    // Qt would expose a plain top-level widget as a filler, which has no title.
    if (auto* form = dynamic_cast<FormWidget*>(object)) {
        return new QAccessibleWidget(form, QAccessible::Window);
    }
#ifndef KORVANE_QT_ANNOUNCEMENTS
    if (auto* notice = dynamic_cast<Notice*>(object)) {
        return new QAccessibleWidget(notice, QAccessible::Notification);
    }
#endif
    return accessibleControlFor(object);
}

} // namespace

void installAccessibility() {
    QAccessible::installFactory(accessibleFor);
}

#ifdef KORVANE_QT_ANNOUNCEMENTS

Announcer::Announcer(QWidget& window) : m_source(&window) {}

void Announcer::announce(const QString& text) {
    if (!m_source) {
        return; // the window is going
    }
    QAccessibleAnnouncementEvent event(m_source, text);
    event.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&event);
}

#else

Announcer::Announcer(QWidget& window) : m_source(new Notice(window)) {}

void Announcer::announce(const QString& text) {
    if (!m_source) {
        return; // the window is going
    }
    // Shown again, a notification is spoken again, even with the text it had.
    m_source->hide();
    m_source->setAccessibleName(text);
    m_source->show();
}

#endif

} // namespace korvane
