#include "GuiFixture.h"
#include "calculators/TradeCalculator.h"
#include "mainwindow/Form1Layout.h"
#include "mainwindow/MainWindow.h"
#include "platform/RuntimeError.h"
#include "platform/qt/QtPlatform.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <tuple>

using namespace korvane;

namespace {

// One main window as start-up builds it: loaded and shown.
struct Fixture : korvane::testing::GuiFixture {
    template <typename T> T* child(const QString& name) {
        auto* widget = form->findChild<T*>(name);
        if (!widget) {
            qFatal("no control %s", qPrintable(name));
        }
        return widget;
    }
    QComboBox* com1() { return child<QComboBox>(QStringLiteral("Com1")); }
    QScrollBar* hsc1() { return child<QScrollBar>(QStringLiteral("HSc1")); }
    QLabel* label2() { return child<QLabel>(QStringLiteral("Label2")); }
    QPushButton* button(int n) { return child<QPushButton>(QStringLiteral("Command%1").arg(n)); }
    // Com1, Timer1, Command1, Command2
    QList<bool> runState() {
        return {com1()->isEnabled(), form1.window().timer("Timer1").isEnabled(),
                button(1)->isEnabled(), button(2)->isEnabled()};
    }
};

const QList<bool> stopped{true, false, true, false};
const QList<bool> running{false, true, false, true};

QString name(const ControlLayout& row) {
    QString text = QString::fromUtf8(row.name.data(), static_cast<qsizetype>(row.name.size()));
    if (row.index != noIndex) {
        text += QStringLiteral("(%1)").arg(row.index);
    }
    return text;
}

} // namespace

class MainWindowGuiTest : public QObject {
    Q_OBJECT

private slots:
    void init() { korvane::testing::failOnWarnings(); }

    void freshStartIsStoppedAtZi() {
        Fixture f;
        QCOMPARE(f.form->windowTitle(), QStringLiteral("KorvaneV1.0.5（市场刷价计时器）"));
        // Logical pixels at any scale (this test runs at 1, 1.5 and 2): Qt multiplies them.
        QCOMPARE(f.form->size(), QSize(725, 179));              // 10875 × 2685 twips
        QCOMPARE(f.form->geometry().topLeft(), QPoint(17, 30)); // client area: 255, 450 twips
        QCOMPARE(f.runState(), stopped);
        QCOMPARE(f.com1()->currentText(), QStringLiteral("请选择开始的时辰(默认：子时)"));
        QCOMPARE(f.com1()->count(), 12);
        QCOMPARE(f.com1()->currentIndex(), -1);
        QCOMPARE(f.com1()->itemText(4), QStringLiteral("辰时"));
        QCOMPARE(f.hsc1()->value(), 0);
        QCOMPARE(f.hsc1()->minimum(), 0);
        QCOMPARE(f.hsc1()->maximum(), 300);
        QCOMPARE(f.label2()->text(), QStringLiteral("距离下一次刷价还有：0分0秒"));
        QCOMPARE(f.form1.clock().positionInSteps(), 0);
        // The frame's icon, drawn from the design at each size a frame or a switcher uses.
        const QIcon icon = f.form->windowIcon();
        const QList<QSize> sizes{{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}};
        QCOMPARE(icon.availableSizes(), sizes);
        for (const QSize& size : sizes) {
            QCOMPARE(icon.pixmap(size, 1.0).size(), size);
        }
    }

    void controlSitsWhereItsRowSays_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("geometry");
        for (const ControlLayout& row : form1Layout.controls) {
            if (row.kind == ControlKind::Timer) {
                continue;
            }
            const QString control = name(row);
            QTest::newRow(qPrintable(control))
                << control << QRect(row.left / 15, row.top / 15, row.width / 15, row.height / 15);
        }
    }
    void controlSitsWhereItsRowSays() {
        QFETCH(QString, control);
        QFETCH(QRect, geometry);
        Fixture f;
        QWidget* widget = f.child<QWidget>(control);
        QCOMPARE(widget->geometry(), geometry);
        QVERIFY(widget->isVisible());
    }

    void marksAreInASongFace() {
        if (!QFontDatabase::families().contains(QStringLiteral("AR PL UMing CN"))) {
            QSKIP("the Song face (fonts-arphic-uming) is not installed");
        }
        Fixture f;
        for (int i = 0; i <= 12; ++i) {
            auto* mark = f.child<QLabel>(QStringLiteral("Label1(%1)").arg(i));
            QCOMPARE(mark->font().pointSizeF(), 15.75);
            QVERIFY2(QFontInfo(mark->font()).family().contains(QStringLiteral("UMing")),
                     qPrintable(QFontInfo(mark->font()).family()));
        }
    }

    void textsAreNotClipped() {
        Fixture f;
        const QString longest = QStringLiteral("距离下依次刷价还有：9分59秒");
        QVERIFY(f.label2()->fontMetrics().horizontalAdvance(longest) <= f.label2()->width());
        for (QLabel* label : f.form->findChildren<QLabel*>()) {
            const QFontMetrics metrics = label->fontMetrics();
            QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->objectName()));
            QVERIFY2(metrics.height() <= label->height(), qPrintable(label->objectName()));
        }
        for (QPushButton* button : f.form->findChildren<QPushButton*>()) {
            QVERIFY2(button->sizeHint().width() <= button->width(),
                     qPrintable(button->objectName()));
        }
    }

    void tabOrderFollowsTabIndexes() {
        Fixture f;
        const QStringList expected{"HSc1",     "Com1",     "Command1", "Command2",
                                   "Command3", "Command4", "Command5"};
        QCOMPARE(korvane::testing::focusChain(f.hsc1(), expected), expected);
        QCOMPARE(f.form->focusWidget(), f.hsc1());
    }

    void arrowKeysPickAStartSlot() {
        Fixture f;
        f.com1()->setFocus();
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(f.com1(), Qt::Key_Down);
        }
        QCOMPARE(f.com1()->currentText(), QStringLiteral("辰时"));
        QCOMPARE(f.hsc1()->value(), 100);
        QCOMPARE(f.form1.clock().positionInSteps(), 600);
        QCOMPARE(f.label2()->text(), QStringLiteral("距离下一次刷价还有：0分0秒"));
        QCOMPARE(f.runState(), stopped);
    }

    void mousePicksAStartSlot() {
        Fixture f;
        f.com1()->showPopup();
        QAbstractItemView* view = f.com1()->view();
        QVERIFY(QTest::qWaitForWindowExposed(view->window()));
        const QModelIndex last = view->model()->index(11, 0);
        view->scrollTo(last);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(last).center());
        QTRY_COMPARE(f.hsc1()->value(), 275);
        QCOMPARE(f.form1.clock().positionInSteps(), 275 * 6);
    }

    void typingInTheListFieldChangesNothing() {
        Fixture f;
        QLineEdit* field = f.com1()->lineEdit();
        field->setFocus();
        field->selectAll();
        QInputMethodEvent typed; // as a Chinese input method commits text
        typed.setCommitString(QStringLiteral("辰时"));
        QCoreApplication::sendEvent(field, &typed);
        QTest::keyClick(field, Qt::Key_Return);
        QTest::keyClick(field, Qt::Key_Enter);
        f.button(1)->setFocus(); // leaving the field is no pick either
        QVERIFY(!field->hasFocus());
        QCOMPARE(f.com1()->count(), 12);
        QCOMPARE(f.com1()->currentText(), QStringLiteral("辰时"));
        QCOMPARE(f.hsc1()->value(), 0);
        QCOMPARE(f.form1.clock().positionInSteps(), 0);
    }

    void startStopAndTicksThroughTheHandler() {
        Fixture f;
        QTest::mouseClick(f.button(1), Qt::LeftButton);
        QCOMPARE(f.runState(), running);
        for (int i = 0; i < 599; ++i) {
            f.form1.timer1Timer();
        }
        QCOMPARE(f.label2()->text(), QStringLiteral("距离下一次刷价还有：0分1秒"));
        QCOMPARE(f.hsc1()->value(), 99);
        f.form1.timer1Timer();
        QCOMPARE(f.label2()->text(), QStringLiteral("现在刷价"));
        QCOMPARE(f.hsc1()->value(), 100);
        QTest::mouseClick(f.button(2), Qt::LeftButton);
        QCOMPARE(f.runState(), stopped);
        QCOMPARE(f.form1.clock().positionInSteps(), 600);
        QTest::mouseClick(f.button(1), Qt::LeftButton);
        f.form1.timer1Timer();
        QCOMPARE(f.label2()->text(), QStringLiteral("距离下依次刷价还有：9分59秒"));
        // From the keyboard, with Space or Enter: a button that its own press disables hands
        // the focus on to the next enabled control in tab order, where Enter presses again.
        f.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.form));
        constexpr int focused = 0; // wherever the last press left the focus
        const std::tuple<int, Qt::Key, int, QList<bool>> presses[] = {
            {2, Qt::Key_Space, 3, stopped},        {1, Qt::Key_Space, 2, running},
            {focused, Qt::Key_Return, 3, stopped}, {1, Qt::Key_Return, 2, running},
            {focused, Qt::Key_Enter, 3, stopped},  {1, Qt::Key_Enter, 2, running}};
        for (const auto& [pressed, key, next, state] : presses) {
            if (pressed != focused) {
                f.button(pressed)->setFocus();
            }
            QTest::keyClick(f.form->focusWidget(), key);
            QCOMPARE(f.runState(), state);
            QCOMPARE(f.form->focusWidget(), f.button(next));
        }
    }

    void handMadeBarMoveIsOverwrittenByTheNextTick() {
        Fixture f;
        f.hsc1()->setFocus();
        QTest::keyClick(f.hsc1(), Qt::Key_Right);
        QTest::keyClick(f.hsc1(), Qt::Key_End);
        QCOMPARE(f.hsc1()->value(), 300);
        QCOMPARE(f.form1.clock().positionInSteps(), 0);
        f.form1.timer1Timer();
        QCOMPARE(f.hsc1()->value(), 0);
    }

    // A whole interval after Start, not sooner; how much later depends on the machine's load.
    void oneRealTickComesOneSecondAfterStart() {
        Fixture f;
        QElapsedTimer elapsed;
        QTest::mouseClick(f.button(1), Qt::LeftButton);
        elapsed.start();
        QTRY_COMPARE_WITH_TIMEOUT(f.label2()->text(), QStringLiteral("距离下一次刷价还有：9分59秒"),
                                  60000);
        const qint64 ms = elapsed.elapsed();
        QVERIFY2(ms >= 990, qPrintable(QString::number(ms)));
        QCOMPARE(f.form1.clock().positionInSteps(), 1);
    }

    // Stop and Start again: the first tick comes a whole interval after the new Start. Stopped
    // late in its interval and started again past that interval's end, a timer that kept its
    // schedule, or the time left, would tick sooner.
    void startAfterStopBeginsAFreshInterval() {
        Fixture f;
        QElapsedTimer sinceFirstStart;
        QTest::mouseClick(f.button(1), Qt::LeftButton);
        sinceFirstStart.start();
        QVERIFY(QTest::qWaitFor([&] { return sinceFirstStart.elapsed() >= 500; }, 60000));
        QTest::mouseClick(f.button(2), Qt::LeftButton);
        const int stoppedAt = f.form1.clock().positionInSteps(); // 0, or more on a busy machine
        QVERIFY(QTest::qWaitFor([&] { return sinceFirstStart.elapsed() >= 1100; }, 60000));
        QCOMPARE(f.form1.clock().positionInSteps(), stoppedAt);
        QElapsedTimer elapsed;
        QTest::mouseClick(f.button(1), Qt::LeftButton);
        elapsed.start();
        QTRY_COMPARE_WITH_TIMEOUT(f.form1.clock().positionInSteps(), stoppedAt + 1, 60000);
        const qint64 ms = elapsed.elapsed();
        QVERIFY2(ms >= 990, qPrintable(QString::number(ms)));
    }

    void closeRequestIsRefused() {
        Fixture f;
        QVERIFY(!(f.form->windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!f.form->close());
        QVERIFY(!f.form->windowHandle()->close());
        QVERIFY(f.form->isVisible());
        QVERIFY(!f.platform.hasEnded());
    }

    // Exit ends the event loop itself, with the clock running: nothing else ends it here.
    void exitWhileRunningEndsAtOnce() {
        Fixture f;
        QElapsedTimer sinceStart;
        QTest::mouseClick(f.button(1), Qt::LeftButton);
        sinceStart.start();
        f.form1.timer1Timer();
        QTimer::singleShot(0, f.button(5),
                           [&f] { QTest::mouseClick(f.button(5), Qt::LeftButton); });
        QTimer::singleShot(60000, qApp, [] { QCoreApplication::exit(99); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(f.platform.hasEnded());
        QVERIFY(!f.form->isVisible());
        // Past the interval's end and more: no tick runs once the program has ended.
        QVERIFY(QTest::qWaitFor([&] { return sinceStart.elapsed() >= 1300; }, 60000));
        QCOMPARE(f.form1.clock().positionInSteps(), 1);
    }

    void runtimeErrorIsReportedAndEndsTheProgram() {
        Fixture f;
        QStringList reports;
        f.platform.setFatalErrorReporter(
            [&](const std::string& text) { reports << QString::fromStdString(text); });
        int ran = 0;
        f.platform.guarded([] { throw RuntimeError(error::overflow, "溢出"); })();
        f.platform.guarded([&ran] { ++ran; })();
        QCOMPARE(reports, QStringList{QStringLiteral("运行时错误 '6':\n\n溢出")});
        QVERIFY(f.platform.hasEnded());
        QCOMPARE(f.platform.exitCode(), 1);
        QCOMPARE(ran, 0);
        QVERIFY(!f.form->isVisible());
    }

    // The bar's thumb stands under the mark of each start double-hour.
    void thumbStandsUnderItsMark_data() {
        QTest::addColumn<int>("slot");
        for (int slot = 0; slot <= 12; ++slot) {
            QTest::newRow(qPrintable(QStringLiteral("slot-%1").arg(slot))) << slot;
        }
    }
    void thumbStandsUnderItsMark() {
        QFETCH(int, slot);
        Fixture f;
        QScrollBar* bar = f.hsc1();
        bar->setValue(slot * 25);
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.orientation = Qt::Horizontal;
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = bar->value();
        option.sliderValue = bar->value();
        option.singleStep = bar->singleStep();
        option.pageStep = bar->pageStep();
        const QRect thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                                         QStyle::SC_ScrollBarSlider, bar);
        const int thumbCentre = bar->x() + thumb.center().x();
        QList<int> markCentres;
        for (int i = 0; i <= 12; ++i) {
            markCentres
                << f.child<QLabel>(QStringLiteral("Label1(%1)").arg(i))->geometry().center().x();
        }
        std::sort(markCentres.begin(), markCentres.end());
        // The layout's marks are not evenly spaced; the thumb must stand nearest its own.
        const auto nearest =
            std::min_element(markCentres.begin(), markCentres.end(), [thumbCentre](int a, int b) {
                return std::abs(a - thumbCentre) < std::abs(b - thumbCentre);
            });
        QCOMPARE(nearest - markCentres.begin(), slot);
        QVERIFY2(std::abs(thumbCentre - markCentres[slot]) <= 16,
                 qPrintable(
                     QStringLiteral("thumb %1, mark %2").arg(thumbCentre).arg(markCentres[slot])));
    }
};

QTEST_MAIN(MainWindowGuiTest)
#include "MainWindowGuiTest.moc"
