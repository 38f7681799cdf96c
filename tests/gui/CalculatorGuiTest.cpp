#include "GuiFixture.h"
#include "calculators/TradeCalculator.h"
#include "mainwindow/MainWindow.h"
#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace korvane;

namespace {

struct Fixture : korvane::testing::GuiFixture {
    QPushButton* mainButton(int n) {
        return form->findChild<QPushButton*>(QStringLiteral("Command%1").arg(n));
    }
    // The calculator's window as it is now, or null before it was first built.
    QWidget* window(const char* name) {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QLatin1String(name) && top->isVisible()) {
                return top;
            }
        }
        return nullptr;
    }
    QWidget* calculator(TradeCalculator& c) { return QtPlatform::widget(c.window()); }
    template <typename T> T* child(TradeCalculator& c, const char* name) {
        return calculator(c)->findChild<T*>(QLatin1String(name));
    }
    QString compute(TradeCalculator& c, const QString& funds, const QString& price,
                    const QString& quantity) {
        type(child<QLineEdit>(c, "Text1"), funds);
        type(child<QLineEdit>(c, "Text2"), price);
        type(child<QLineEdit>(c, "Text3"), quantity);
        QTest::mouseClick(child<QPushButton>(c, "Command1"), Qt::LeftButton);
        return child<QLabel>(c, "Label5")->text();
    }
    static void type(QLineEdit* box, const QString& text) {
        box->clear();
        QInputMethodEvent typed; // as an input method commits it, full-width forms included
        typed.setCommitString(text);
        QCoreApplication::sendEvent(box, &typed);
    }
};

} // namespace

class CalculatorGuiTest : public QObject {
    Q_OBJECT

private slots:
    void init() { korvane::testing::failOnWarnings(); }

    void mainButtonsToggleTheirCalculators_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("buy") << 3 << "Form2"
                             << "买东西计算器（V1.0.0）" << QRect(17, 243, 312, 206);
        QTest::newRow("sell") << 4 << "Form3"
                              << "卖东西计算器（V1.0.0）" << QRect(337, 243, 312, 206);
    }
    void mainButtonsToggleTheirCalculators() {
        QFETCH(int, button);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, geometry);
        Fixture f;
        const QByteArray id = name.toLatin1();
        QVERIFY(!f.window(id));
        QTest::mouseClick(f.mainButton(button), Qt::LeftButton);
        QWidget* shown = f.window(id);
        QVERIFY(shown);
        QCOMPARE(shown->windowTitle(), caption);
        QCOMPARE(shown->geometry(), geometry);
        QVERIFY(!shown->isModal());
        QVERIFY(!shown->parentWidget());
        QCOMPARE(shown->focusWidget(), shown->findChild<QLineEdit*>(QStringLiteral("Text1")));
        QVERIFY(!f.window(button == 3 ? "Form3" : "Form2")); // never the other one
        // Where a caption reaches into its box, a click lands in the box.
        for (QLineEdit* box : shown->findChildren<QLineEdit*>()) {
            QCOMPARE(shown->childAt(box->geometry().bottomLeft()), box);
        }

        Fixture::type(shown->findChild<QLineEdit*>(QStringLiteral("Text2")),
                      QStringLiteral("12.5"));
        QTest::mouseClick(f.mainButton(button), Qt::LeftButton);
        QVERIFY(!shown->isVisible());
        QTest::mouseClick(f.mainButton(button), Qt::LeftButton);
        QCOMPARE(f.window(id), shown); // the same window, with its texts
        QCOMPARE(shown->findChild<QLineEdit*>(QStringLiteral("Text2"))->text(),
                 QStringLiteral("12.5"));
    }

    void focusOrderRunsThroughBoxesThenButtons() {
        Fixture f;
        for (TradeCalculator* c : {&f.calculators.buy(), &f.calculators.sell()}) {
            const QStringList expected{"Text1",    "Text2",    "Text3",
                                       "Command1", "Command2", "Command3"};
            QCOMPARE(korvane::testing::focusChain(f.child<QLineEdit>(*c, "Text1"), expected),
                     expected);
            for (QPushButton* button : f.calculator(*c)->findChildren<QPushButton*>()) {
                QVERIFY(!button->isDefault()); // Enter in a box presses nothing
            }
        }
    }

    void computesFromWhatWasTyped() {
        Fixture f;
        QTest::mouseClick(f.mainButton(3), Qt::LeftButton);
        QTest::mouseClick(f.mainButton(4), Qt::LeftButton);
        QCOMPARE(f.compute(f.calculators.buy(), "1000", "12.5", "3"), QStringLiteral("962.5"));
        QCOMPARE(f.compute(f.calculators.sell(), "1000", "12.5", "3"), QStringLiteral("1037.5"));
        QCOMPARE(f.compute(f.calculators.buy(), "１０００．５０", "１２．５元", "３"),
                 QStringLiteral("963"));
        QCOMPARE(f.child<QLineEdit>(f.calculators.buy(), "Text1")->text(),
                 QStringLiteral("１０００．５０"));
        QCOMPARE(f.child<QLabel>(f.calculators.sell(), "Label5")->text(), QStringLiteral("1037.5"));

        // Enter in a box does nothing; Enter on the focused button presses it.
        TradeCalculator& sell = f.calculators.sell();
        Fixture::type(f.child<QLineEdit>(sell, "Text1"), "1");
        QTest::keyClick(f.child<QLineEdit>(sell, "Text1"), Qt::Key_Return);
        QCOMPARE(f.child<QLabel>(sell, "Label5")->text(), QStringLiteral("1037.5"));
        f.child<QPushButton>(sell, "Command1")->setFocus();
        QTest::keyClick(f.child<QPushButton>(sell, "Command1"), Qt::Key_Return);
        QCOMPARE(f.child<QLabel>(sell, "Label5")->text(), QStringLiteral("38.5"));

        QLineEdit* quantity = f.child<QLineEdit>(f.calculators.sell(), "Text3");
        quantity->setFocus();
        QTest::mouseClick(f.child<QPushButton>(f.calculators.sell(), "Command3"), Qt::LeftButton);
        for (const char* box : {"Text1", "Text2", "Text3"}) {
            QCOMPARE(f.child<QLineEdit>(f.calculators.sell(), box)->text(), QString());
        }
        QCOMPARE(f.child<QLabel>(f.calculators.sell(), "Label5")->text(), QString());
        QCOMPARE(f.calculator(f.calculators.sell())->focusWidget(), quantity);
        QTest::mouseClick(f.child<QPushButton>(f.calculators.sell(), "Command1"), Qt::LeftButton);
        QCOMPARE(f.child<QLabel>(f.calculators.sell(), "Label5")->text(), QStringLiteral("0"));
    }

    // The warning is modal over its calculator only, and the clock goes on meanwhile.
    void overflowWarnsWhileTheClockRunsOn() {
        Fixture f;
        QTest::mouseClick(f.mainButton(1), Qt::LeftButton);
        QTest::mouseClick(f.mainButton(3), Qt::LeftButton);
        TradeCalculator& buy = f.calculators.buy();
        QCOMPARE(f.compute(buy, "10", "2", "3"), QStringLiteral("4"));
        // The box stays up until a tick has come behind it (a minute at the most).
        korvane::testing::MessageBoxWatcher watcher;
        QElapsedTimer up;
        up.start();
        watcher.closeWhen = [&f, &up] {
            return f.form1.clock().positionInSteps() >= 1 || up.elapsed() > 60000;
        };
        QCOMPARE(f.compute(buy, "1", "1E200", "1E200"), QStringLiteral("4"));
        QCOMPARE(watcher.seen, 1);
        QCOMPARE(watcher.parent, f.calculator(buy));
        QVERIFY(watcher.text.contains(QStringLiteral("超出")));
        QCOMPARE(watcher.spoken, watcher.text);
        QCOMPARE(watcher.buttons, QStringList{QStringLiteral("确定")}); // Qt's own text, translated
        QCOMPARE(f.child<QLineEdit>(buy, "Text2")->text(), QStringLiteral("1E200"));
        QVERIFY(!f.platform.hasEnded());
        QVERIFY(f.form1.clock().positionInSteps() >= 1); // a tick arrived while the box was up
        QVERIFY(f.form->isVisible());
    }

    void hideThenMainButtonShowsItAsItWas() {
        Fixture f;
        TradeCalculator& sell = f.calculators.sell();
        QTest::mouseClick(f.mainButton(4), Qt::LeftButton);
        f.compute(sell, "1000", "12.5", "3");
        QWidget* window = f.calculator(sell);
        QTest::mouseClick(f.child<QPushButton>(sell, "Command2"), Qt::LeftButton);
        QVERIFY(!window->isVisible());
        QTest::mouseClick(f.mainButton(4), Qt::LeftButton);
        QVERIFY(window->isVisible());
        QCOMPARE(f.child<QLabel>(sell, "Label5")->text(), QStringLiteral("1037.5"));
    }

    // Minimised counts as not shown: one press restores it, with its texts.
    void aMinimisedCalculatorComesBackWithOnePress() {
        Fixture f;
        TradeCalculator& buy = f.calculators.buy();
        QTest::mouseClick(f.mainButton(3), Qt::LeftButton);
        f.compute(buy, "1000", "12.5", "3");
        QWidget* window = f.calculator(buy);
        window->showMinimized();
        QVERIFY(window->isMinimized());
        QTest::mouseClick(f.mainButton(3), Qt::LeftButton);
        QVERIFY(window->isVisible() && !window->isMinimized());
        QCOMPARE(f.child<QLabel>(buy, "Label5")->text(), QStringLiteral("962.5"));
        QTest::mouseClick(f.mainButton(3), Qt::LeftButton);
        QVERIFY(!window->isVisible());
    }

    void aCalculatorBehindTheMainWindowIsHiddenNotRaised() {
        Fixture f;
        QTest::mouseClick(f.mainButton(3), Qt::LeftButton);
        f.form->raise();
        f.form->activateWindow();
        QTest::mouseClick(f.mainButton(3), Qt::LeftButton);
        QVERIFY(!f.calculator(f.calculators.buy())->isVisible());
    }

    void closedThroughItsFrameComesBackFresh() {
        Fixture f;
        TradeCalculator& buy = f.calculators.buy();
        QTest::mouseClick(f.mainButton(3), Qt::LeftButton);
        f.compute(buy, "1000", "12.5", "3");
        QVERIFY(f.calculator(buy)->close());
        QVERIFY(!f.window("Form2"));
        QTest::mouseClick(f.mainButton(3), Qt::LeftButton);
        QWidget* fresh = f.window("Form2");
        QVERIFY(fresh);
        QCOMPARE(fresh->findChild<QLineEdit*>(QStringLiteral("Text1"))->text(), QString());
        QCOMPARE(fresh->findChild<QLabel*>(QStringLiteral("Label5"))->text(), QString());
        QCOMPARE(f.compute(buy, "1", "1", "1"), QStringLiteral("0"));
        QVERIFY(!f.platform.hasEnded());
    }

    void exitWithBothCalculatorsOpenEndsEverything() {
        Fixture f;
        QTest::mouseClick(f.mainButton(1), Qt::LeftButton);
        QTest::mouseClick(f.mainButton(3), Qt::LeftButton);
        QTest::mouseClick(f.mainButton(4), Qt::LeftButton);
        QTimer::singleShot(0, f.form, [&f] { QTest::mouseClick(f.mainButton(5), Qt::LeftButton); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!f.form->isVisible());
        QVERIFY(!f.window("Form2"));
        QVERIFY(!f.window("Form3"));
    }
};

QTEST_MAIN(CalculatorGuiTest)
#include "CalculatorGuiTest.moc"
