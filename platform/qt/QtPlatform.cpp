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
#include <chrono>
#include <limits>
#include <vector>

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

// Fires every interval on Start + k × interval, without cumulative drift. Each tick is
// armed as a single shot for the next due time, measured on a monotonic clock, and aimed
// early by how late the platform has been delivering timers (about 2 ms on Linux; a whole
// scheduler quantum on some systems). A tick that could not arrive in time, because the
// machine slept, say, is skipped rather than made up for.
class QtTimer : public Timer {
public:
    using Clock = std::chrono::steady_clock;

    QtTimer(QTimer* timer, std::chrono::milliseconds interval, Binding binding)
        : m_widget(timer), m_interval(interval), m_binding(binding) {
        timer->setSingleShot(true);
        // A coarse timer may fire tens of milliseconds early.
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer, &QTimer::timeout, binding.context, [this] { fire(); });
    }
    void setEnabled(bool enabled) override {
        QTimer& timer = checked(m_widget);
        if (enabled && !m_enabled) {
            m_enabled = true;
            m_start = Clock::now();
            m_count = 0;
            arm(m_start);
        } else if (!enabled) {
            m_enabled = false;
            timer.stop();
        }
    }
    bool isEnabled() const override {
        checked(m_widget);
        return m_enabled;
    }
    void onTimer(Handler handler) override {
        m_handler = m_binding.platform.guarded(std::move(handler));
    }

private:
    void fire() {
        if (!m_enabled) {
            return;
        }
        const auto now = Clock::now();
        const auto late =
            std::clamp<Clock::duration>(now - m_armedFor, Clock::duration::zero(), maxLead);
        m_lead = (m_lead + late) / 2;
        ++m_count;
        if (now - dueTime(m_count) >= m_interval) {
            m_count = (now - m_start) / m_interval; // missed ticks are not made up for
        }
        arm(now);
        if (m_handler) {
            m_handler();
        }
    }

    Clock::time_point dueTime(long long tick) const { return m_start + tick * m_interval; }

    void arm(Clock::time_point now) {
        const auto wait = dueTime(m_count + 1) - m_lead - now;
        const auto ms =
            std::max<long long>(0, std::chrono::round<std::chrono::milliseconds>(wait).count());
        m_armedFor = now + std::chrono::milliseconds(ms);
        checked(m_widget).start(static_cast<int>(ms));
    }

    static constexpr Clock::duration maxLead = std::chrono::milliseconds(20);

    QPointer<QTimer> m_widget;
    std::chrono::milliseconds m_interval;
    Binding m_binding;
    Handler m_handler;
    bool m_enabled = false;
    Clock::time_point m_start;
    Clock::time_point m_armedFor;
    Clock::duration m_lead{};
    long long m_count = 0;
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
            if (widget->focusPolicy() != Qt::NoFocus && row.tabIndex != noTabStop) {
                tabOrder.emplace_back(row.tabIndex, widget);
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

    static QFont toQFont(const FontSpec& spec) {
        QFont font;
        font.setFamilies({toQString(spec.face)});
        font.setPointSizeF(spec.points);
        font.setWeight(static_cast<QFont::Weight>(spec.weight));
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
            auto* timer = new QTimer(&form);
            timer->setObjectName(toQString(row.name));
            auto control = std::make_unique<QtTimer>(
                timer, std::chrono::milliseconds(row.settings.interval), binding);
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

QtPlatform::QtPlatform() {
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
    end(0);
}

void QtPlatform::end(int exitCode) {
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_exitCode = exitCode;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        window->hide();
    }
    QCoreApplication::exit(exitCode);
}

void QtPlatform::fail(const std::string& text) {
    if (m_ended) {
        return;
    }
    // No handler may run while the report is on screen, nor after it.
    m_ended = true;
    if (m_reporter) {
        m_reporter(text);
    } else {
        QMessageBox::critical(nullptr, QStringLiteral("Korvane"), toQString(text));
    }
    m_ended = false;
    end(1);
}

Handler QtPlatform::guarded(Handler handler) {
    return [this, handler = std::move(handler)] {
        if (m_ended) {
            return;
        }
        try {
            handler();
        } catch (const RuntimeError& e) {
            fail("运行时错误 '" + std::to_string(e.code()) + "':\n\n" + e.what());
        } catch (const std::exception& e) {
            fail(std::string("运行时错误:\n\n") + e.what());
        }
    };
}

void QtPlatform::runGuarded(const Handler& work) {
    guarded(work)();
}

QWidget* QtPlatform::widget(Window& window) {
    auto* qtWindow = dynamic_cast<QtWindow*>(&window);
    return qtWindow ? qtWindow->widget() : nullptr;
}

int QtPlatform::toPixels(int twips) {
    return (twips + 7) / 15;
}

} // namespace korvane
