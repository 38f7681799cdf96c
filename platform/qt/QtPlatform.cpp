#include "platform/qt/QtPlatform.h"

#include "platform/RuntimeError.h"
#include "platform/WindowBase.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#ifdef Q_OS_LINUX
#include <QSocketNotifier>
#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace korvane {

namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

[[noreturn]] void raiseObjectGone() {
    throw RuntimeError(error::objectRequired, "对象已不存在");
}

// Every property call goes through here: a control whose widget has gone is an error.
template <typename W> W& checked(const QPointer<W>& widget) {
    if (!widget) {
        raiseObjectGone();
    }
    return *widget;
}

// The top-level window: it refuses a close request once its Close command is removed,
// and otherwise records that the user closed it.
class FormWidget : public QWidget {
public:
    bool closeRemoved = false;
    bool closed = false;

protected:
    void closeEvent(QCloseEvent* event) override {
        if (closeRemoved) {
            event->ignore();
            return;
        }
        closed = true;
        event->accept();
    }
};

// The handlers' connections live on one context object per window, so that they are cut
// before the window's widgets are torn down.
struct Binding {
    QObject* context;
    QtPlatform& platform;
};

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
    std::string text() const override { return checked(m_widget).text().toStdString(); }
    void onClick(Handler handler) override {
        QObject::connect(&checked(m_widget), &QPushButton::clicked, m_binding.context,
                         m_binding.platform.guarded(std::move(handler)));
    }

private:
    Binding m_binding;
};

class QtLabel : public QtControl<Label, QLabel> {
public:
    using QtControl::QtControl;
    std::string text() const override { return checked(m_widget).text().toStdString(); }
    void setText(std::string_view text) override { checked(m_widget).setText(toQString(text)); }
};

class QtTextBox : public QtControl<TextBox, QLineEdit> {
public:
    using QtControl::QtControl;
    std::string text() const override { return checked(m_widget).text().toStdString(); }
    void setText(std::string_view text) override { checked(m_widget).setText(toQString(text)); }
};

class QtComboBox : public QtControl<ComboBox, QComboBox> {
public:
    QtComboBox(QComboBox* combo, Binding binding) : QtControl(combo), m_binding(binding) {}
    std::string text() const override { return checked(m_widget).currentText().toStdString(); }
    void addItem(std::string_view text) override {
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
    int listCount() const override { return checked(m_widget).count(); }
    std::string itemText(int index) const override {
        return checked(m_widget).itemText(index).toStdString();
    }
    std::int16_t listIndex() const override {
        return checkedNarrow<std::int16_t>(checked(m_widget).currentIndex());
    }
    void onClick(Handler handler) override {
        QObject::connect(
            &checked(m_widget), &QComboBox::activated, m_binding.context,
            [guarded = m_binding.platform.guarded(std::move(handler))](int) { guarded(); });
    }

private:
    Binding m_binding;
};

class QtScrollBar : public QtControl<ScrollBar, QScrollBar> {
public:
    using QtControl::QtControl;
    void setValue(std::int16_t value) override {
        QScrollBar& bar = checked(m_widget);
        if (value < bar.minimum() || value > bar.maximum()) {
            throw RuntimeError(error::invalidPropertyValue, "无效的属性值");
        }
        bar.setValue(value);
    }
    std::int16_t value() const override {
        return checkedNarrow<std::int16_t>(checked(m_widget).value());
    }
};

// Fires every interval on Start + k × interval, without cumulative drift, one event at a
// time; a tick that could not arrive in time (the machine slept, say) is dropped, not made
// up for. On Linux a kernel timer with absolute deadlines does it to well under a
// millisecond; elsewhere Qt's precise timer, which also keeps to its schedule but arrives
// a millisecond or two late.
class QtTimer : public Timer {
public:
    QtTimer(QWidget& form, const QString& name, int interval, Binding binding)
        : m_interval(interval), m_binding(binding) {
#ifdef Q_OS_LINUX
        m_fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
        if (m_fd >= 0) {
            auto* notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, &form);
            notifier->setObjectName(name);
            QObject::connect(notifier, &QSocketNotifier::activated, binding.context,
                             [this] { fire(); });
            m_driver = notifier;
            return;
        }
#endif
        auto* timer = new QTimer(&form);
        timer->setObjectName(name);
        // A coarse timer may fire tens of milliseconds early.
        timer->setTimerType(Qt::PreciseTimer);
        timer->setInterval(interval);
        QObject::connect(timer, &QTimer::timeout, binding.context, [this] { fire(); });
        m_driver = timer;
    }
    ~QtTimer() override {
#ifdef Q_OS_LINUX
        delete m_driver.data(); // the notifier goes before its descriptor
        if (m_fd >= 0) {
            close(m_fd);
        }
#endif
    }
    QtTimer(const QtTimer&) = delete;
    QtTimer& operator=(const QtTimer&) = delete;

    void setEnabled(bool enabled) override {
        checked(m_driver);
        if (enabled == m_enabled) {
            return;
        }
        m_enabled = enabled;
#ifdef Q_OS_LINUX
        if (m_fd >= 0) {
            drain(); // an expiry from before a Stop is no tick
            itimerspec deadline{};
            if (enabled) {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                deadline.it_interval = toTimespec(m_interval);
                deadline.it_value = toTimespec(m_interval);
                deadline.it_value.tv_sec += now.tv_sec;
                deadline.it_value.tv_nsec += now.tv_nsec;
                if (deadline.it_value.tv_nsec >= 1'000'000'000L) {
                    deadline.it_value.tv_nsec -= 1'000'000'000L;
                    ++deadline.it_value.tv_sec;
                }
            }
            if (timerfd_settime(m_fd, enabled ? TFD_TIMER_ABSTIME : 0, &deadline, nullptr) != 0) {
                m_enabled = false;
                throw RuntimeError(error::invalidPropertyValue, "无法启动计时器");
            }
            return;
        }
#endif
        auto* timer = static_cast<QTimer*>(m_driver.data());
        enabled ? timer->start() : timer->stop();
    }
    bool isEnabled() const override {
        checked(m_driver);
        return m_enabled;
    }
    void onTimer(Handler handler) override {
        m_handler = m_binding.platform.guarded(std::move(handler));
    }

private:
    void fire() {
#ifdef Q_OS_LINUX
        if (m_fd >= 0 && drain() == 0) {
            return;
        }
#endif
        if (m_enabled && m_handler) {
            m_handler();
        }
    }

#ifdef Q_OS_LINUX
    // Reads the expiries counted so far; more than one means ticks were missed.
    std::uint64_t drain() {
        std::uint64_t expiries = 0;
        if (read(m_fd, &expiries, sizeof expiries) != sizeof expiries) {
            return 0;
        }
        return expiries;
    }
    static timespec toTimespec(int ms) {
        return {static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1'000'000L};
    }
    int m_fd = -1;
#endif

    int m_interval;
    Binding m_binding;
    QPointer<QObject> m_driver;
    Handler m_handler;
    bool m_enabled = false;
};

class QtWindow : public WindowBase {
public:
    QtWindow(const WindowLayout& layout, QtPlatform& platform)
        : m_form(new FormWidget), m_handlers(new QObject(m_form)) {
        build(layout, {m_handlers, platform});
    }
    ~QtWindow() override {
        delete m_handlers.data(); // no handler may run while the widgets go
        clearControls();
        delete m_form.data();
    }

    void removeCloseCommand() override {
        FormWidget& form = checked(m_form);
        form.closeRemoved = true;
        form.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
#ifdef Q_OS_WIN
        // The system menu's Close entry, as the native platform offers it.
        if (HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(form.winId()), FALSE)) {
            RemoveMenu(menu, SC_CLOSE, MF_BYCOMMAND);
        }
#endif
    }
    bool exists() const override {
        return m_form && !m_form->closed;
    }
    bool isVisible() const override {
        return checked(m_form).isVisible();
    }
    void show() override {
        checked(m_form).show();
    }
    void hide() override {
        checked(m_form).hide();
    }
    void showWarning(std::string_view text) override {
        FormWidget& form = checked(m_form);
        QMessageBox::warning(&form, form.windowTitle(), toQString(text));
    }

    QWidget* widget() const {
        return m_form;
    }

private:
    void build(const WindowLayout& layout, Binding binding) {
        FormWidget& form = *m_form;
        form.setObjectName(toQString(layout.name));
        form.setWindowTitle(toQString(layout.caption));
        form.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                            Qt::WindowCloseButtonHint);
        const auto px = QtPlatform::toPixels;
        // A fixed frame: the layout is fixed, so there is nothing to gain from resizing.
        form.setGeometry(px(layout.left), px(layout.top), px(layout.width), px(layout.height));
        form.setFixedSize(px(layout.width), px(layout.height));

        std::vector<std::pair<int, QWidget*>> tabOrder;
        for (const ControlLayout& row : layout.controls) {
            QWidget* widget = createControl(row, form, binding);
            if (!widget) {
                continue;
            }
            QString name = toQString(row.name);
            if (row.index != noIndex) {
                name += QStringLiteral("(%1)").arg(row.index);
            }
            widget->setObjectName(name);
            widget->setGeometry(px(row.left), px(row.top), px(row.width), px(row.height));
            widget->setEnabled(row.settings.enabled);
            if (row.settings.font) {
                widget->setFont(toQFont(*row.settings.font));
            }
            if (!row.settings.accessibleName.empty()) {
                widget->setAccessibleName(toQString(row.settings.accessibleName));
            }
            if (widget->focusPolicy() != Qt::NoFocus && row.tabIndex != noTabStop) {
                tabOrder.emplace_back(row.tabIndex, widget);
            }
        }
        // Captions are built after their boxes: link them once everything exists.
        for (const ControlLayout& row : layout.controls) {
            if (row.settings.captionedBy.empty()) {
                continue;
            }
            auto* caption = form.findChild<QLabel*>(toQString(row.settings.captionedBy));
            auto* target = form.findChild<QWidget*>(toQString(row.name));
            if (caption && target) {
                caption->setBuddy(target);
                target->setAccessibleName(caption->text().trimmed());
            }
        }
        std::stable_sort(tabOrder.begin(), tabOrder.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t i = 1; i < tabOrder.size(); ++i) {
            QWidget::setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
        }
        if (!tabOrder.empty()) {
            tabOrder.front().second->setFocus();
        }
    }

    static QFont toQFont(const FontSpec& fontSpec) {
        QFont font;
        font.setFamilies({toQString(fontSpec.face)});
        font.setPointSizeF(fontSpec.points);
        font.setWeight(static_cast<QFont::Weight>(fontSpec.weight));
        return font;
    }

    QWidget* createControl(const ControlLayout& row, QWidget& form, Binding binding) {
        const QString text = toQString(row.text);
        switch (row.kind) {
        case ControlKind::CommandButton: {
            auto* button = new QPushButton(text, &form);
            button->setAutoDefault(false);
            // Reached with Tab; a click leaves the focus where the user was typing.
            button->setFocusPolicy(Qt::TabFocus);
            addControl(row.name, row.index, std::make_unique<QtCommandButton>(button, binding));
            return button;
        }
        case ControlKind::Label: {
            auto* label = new QLabel(text, &form);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(true);
            label->setTextFormat(Qt::PlainText);
            addControl(row.name, row.index, std::make_unique<QtLabel>(label));
            return label;
        }
        case ControlKind::TextBox: {
            auto* box = new QLineEdit(text, &form);
            box->setMaxLength(std::numeric_limits<int>::max());
            addControl(row.name, row.index, std::make_unique<QtTextBox>(box));
            return box;
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
            addControl(row.name, row.index, std::make_unique<QtComboBox>(combo, binding));
            return combo;
        }
        case ControlKind::HScrollBar: {
            auto* bar = new QScrollBar(Qt::Horizontal, &form);
            bar->setRange(row.settings.min, row.settings.max);
            bar->setValue(row.settings.value);
            bar->setSingleStep(row.settings.smallChange);
            bar->setPageStep(row.settings.largeChange);
            bar->setFocusPolicy(Qt::StrongFocus);
            addControl(row.name, row.index, std::make_unique<QtScrollBar>(bar));
            return bar;
        }
        case ControlKind::Timer: {
            auto control = std::make_unique<QtTimer>(form, toQString(row.name),
                                                     row.settings.interval, binding);
            control->setEnabled(row.settings.enabled);
            addControl(row.name, row.index, std::move(control));
            return nullptr;
        }
        }
        return nullptr;
    }

    QPointer<FormWidget> m_form;
    QPointer<QObject> m_handlers;
};

} // namespace

QtPlatform::QtPlatform()
    : m_dispatch(
          [](const std::string& text) {
              QMessageBox::critical(nullptr, QStringLiteral("Korvane"), toQString(text));
          },
          [](int exitCode) {
              // Every window goes away at once, whether it agrees or not.
              for (QWidget* window : QApplication::topLevelWidgets()) {
                  window->hide();
              }
              QCoreApplication::exit(exitCode);
          }) {
#ifndef Q_OS_WIN
    // A Chinese interface font at the size the twips layouts were drawn for; Windows keeps
    // its own user-interface font.
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("WenQuanYi Zen Hei"), font.family()});
    font.setPointSizeF(9.0);
    QApplication::setFont(font);
#endif
    // Classic Chinese desktop font names resolve to the Song face installed here.
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                                QStringLiteral("AR PL UMing")});
    QApplication::setQuitOnLastWindowClosed(false);
}

QtPlatform::~QtPlatform() = default;

std::unique_ptr<Window> QtPlatform::createWindow(const WindowLayout& layout) {
    return std::make_unique<QtWindow>(layout, *this);
}

void QtPlatform::endProgram() {
    m_dispatch.end(0);
}

QWidget* QtPlatform::widget(Window& window) {
    auto* qtWindow = dynamic_cast<QtWindow*>(&window);
    return qtWindow ? qtWindow->widget() : nullptr;
}

int QtPlatform::toPixels(int twips) {
    return (twips + 7) / 15;
}

} // namespace korvane
