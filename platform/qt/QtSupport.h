#pragma once

#include "platform/RuntimeError.h"
#include "platform/Window.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <string_view>

namespace korvane {

class Announcer;
class QtPlatform;

QString toQString(std::string_view text);

// Every property call goes through here: a control whose widget has gone is an error.
template <typename W> W& checked(const QPointer<W>& widget) {
    if (!widget) {
        raiseObjectGone();
    }
    return *widget;
}

// The handlers' connections live on one context object per window, so that they are cut
// before the window's widgets are torn down.
// A live label announces through its window's announcer.
struct Binding {
    QObject* context;
    QtPlatform& platform;
    Announcer* announcer = nullptr;
};

} // namespace korvane
