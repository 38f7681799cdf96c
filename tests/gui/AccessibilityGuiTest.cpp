#include "GuiFixture.h"
#include "calculators/TradeCalculator.h"
#include "mainwindow/MainWindow.h"
#include "platform/qt/QtAccessibility.h"
#include "platform/qt/QtPlatform.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace korvane;

namespace {

struct Fixture : korvane::testing::GuiFixture {};

QAccessibleInterface* accessible(QWidget* root, const QString& name) {
    QWidget* widget = root->objectName() == name ? root : root->findChild<QWidget*>(name);
    return widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
}

// The tree as a screen reader walks it: role and name of every child it shows, in order.
QStringList tree(QAccessibleInterface* window) {
    QStringList lines;
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface* child = window->child(i);
        if (child->state().invisible) {
            continue;
        }
        lines << QStringLiteral("%1 \"%2\"")
                     .arg(QString::fromLatin1(
                         QMetaEnum::fromType<QAccessible::Role>().valueToKey(child->role())))
                     .arg(child->text(QAccessible::Name));
    }
    return lines;
}

// What a screen reader is told by itself, as the events Qt hands its bridge: a polite
// announcement where Qt has them (6.8), else a notification's showing, with its text then.
// Qt hands them on only while a screen reader's bus is there (AnnouncementsReachAScreenReader
// runs these tests so); on the offscreen platform they are skipped.
class Spoken {
public:
    Spoken() {
        current = this;
        QAccessible::installUpdateHandler(&Spoken::handle);
    }
    ~Spoken() {
        QAccessible::installUpdateHandler(nullptr);
        current = nullptr;
    }
    static bool heard() {
        return QGuiApplication::platformName() != QStringLiteral("offscreen") &&
               QTest::qWaitFor([] { return QAccessible::isActive(); }, 5000);
    }
    QStringList said;

    static QString as(const char* text) {
#ifdef KORVANE_QT_ANNOUNCEMENTS
        return QStringLiteral("polite announcement ") + QString::fromUtf8(text);
#else
        return QStringLiteral("notification ") + QString::fromUtf8(text);
#endif
    }

private:
    static void handle(QAccessibleEvent* event) {
#ifdef KORVANE_QT_ANNOUNCEMENTS
        if (event->type() == QAccessible::Announcement) {
            auto* announcement = static_cast<QAccessibleAnnouncementEvent*>(event);
            current->said << (announcement->politeness() ==
                                      QAccessible::AnnouncementPoliteness::Polite
                                  ? QStringLiteral("polite announcement ")
                                  : QStringLiteral("assertive announcement ")) +
                                 announcement->message();
        }
#else
        QAccessibleInterface* item = event->accessibleInterface();
        if (event->type() == QAccessible::ObjectShow && item &&
            item->role() == QAccessible::Notification) {
            current->said << QStringLiteral("notification ") + item->text(QAccessible::Name);
        }
#endif
    }
    static inline Spoken* current = nullptr;
};

} // namespace

class AccessibilityGuiTest : public QObject {
    Q_OBJECT

private slots:
    void init() { korvane::testing::failOnWarnings(); }

    void everyMainWindowControlHasAChineseNameAndRole_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::newRow("bar") << "HSc1" << int(QAccessible::ScrollBar) << "刷价周期位置";
        QTest::newRow("start-list") << "Com1" << int(QAccessible::ComboBox) << "开始的时辰";
        QTest::newRow("start") << "Command1" << int(QAccessible::Button) << "开始";
        QTest::newRow("stop") << "Command2" << int(QAccessible::Button) << "停止";
        QTest::newRow("buy") << "Command3" << int(QAccessible::Button) << "买东西计算器";
        QTest::newRow("sell") << "Command4" << int(QAccessible::Button) << "卖东西计算器";
        QTest::newRow("exit") << "Command5" << int(QAccessible::Button) << "退出";
        QTest::newRow("countdown")
            << "Label2" << int(QAccessible::StaticText) << "距离下一次刷价还有：0分0秒";
        QTest::newRow("note") << "Label3" << int(QAccessible::StaticText)
                              << "1.0.0的版本不允许从两个时辰之间开始计时";
        QTest::newRow("first-mark") << "Label1(0)" << int(QAccessible::StaticText) << "子";
        QTest::newRow("last-mark") << "Label1(11)" << int(QAccessible::StaticText) << "申";
    }
    void everyMainWindowControlHasAChineseNameAndRole() {
        QFETCH(QString, control);
        QFETCH(int, role);
        QFETCH(QString, name);
        Fixture f;
        QAccessibleInterface* item = accessible(f.form, control);
        QVERIFY(item);
        QCOMPARE(int(item->role()), role);
        QCOMPARE(item->text(QAccessible::Name), name);
    }

    void countdownAndBarAreReadAsTheyStandNow() {
        Fixture f;
        f.form->findChild<QComboBox*>(QStringLiteral("Com1"))->setCurrentIndex(4);
        f.form1.com1Click();
        f.form1.command1Click();
        f.form1.timer1Timer();
        QCOMPARE(accessible(f.form, QStringLiteral("Label2"))->text(QAccessible::Name),
                 QStringLiteral("距离下依次刷价还有：9分59秒"));
        QAccessibleValueInterface* value =
            accessible(f.form, QStringLiteral("HSc1"))->valueInterface();
        QVERIFY(value);
        QCOMPARE(value->currentValue().toInt(), 100);
        QCOMPARE(value->minimumValue().toInt(), 0);
        QCOMPARE(value->maximumValue().toInt(), 300);
    }

    void pressActionRunsTheButtonsHandler() {
        Fixture f;
        QAccessibleActionInterface* start =
            accessible(f.form, QStringLiteral("Command1"))->actionInterface();
        QVERIFY(start);
        start->doAction(QAccessibleActionInterface::pressAction()); // an animated click
        QTRY_VERIFY(f.form1.window().timer("Timer1").isEnabled());
        QVERIFY(!f.form->findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());
        QVERIFY(accessible(f.form, QStringLiteral("Command1"))->state().disabled);

        accessible(f.form, QStringLiteral("Command3"))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QTRY_VERIFY(f.calculators.buy().isVisible());
    }

    void calculatorBoxesTakeTheirCaptionsWords() {
        Fixture f;
        for (TradeCalculator* c : {&f.calculators.buy(), &f.calculators.sell()}) {
            c->toggle();
            QWidget* window = QtPlatform::widget(c->window());
            const QStringList names{QStringLiteral("现有资金"), QStringLiteral("商品单价"),
                                    QStringLiteral("商品数量")};
            for (int i = 0; i < 3; ++i) {
                QAccessibleInterface* box = accessible(window, QStringLiteral("Text%1").arg(i + 1));
                QCOMPARE(int(box->role()), int(QAccessible::EditableText));
                QCOMPARE(box->text(QAccessible::Name), names[i]);
            }
            window->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("7"));
            accessible(window, QStringLiteral("Command1"))
                ->actionInterface()
                ->doAction(QAccessibleActionInterface::pressAction());
            QTRY_COMPARE(accessible(window, QStringLiteral("Label5"))->text(QAccessible::Name),
                         QStringLiteral("7"));
        }
    }

    void aBoxIsReadWholeAsAScreenReaderSplitsIt_data() {
        QTest::addColumn<QString>("number");
        QTest::newRow("integer") << "1000";
        QTest::newRow("decimal") << "12.5";
    }
    void aBoxIsReadWholeAsAScreenReaderSplitsIt() {
        QFETCH(QString, number);
        Fixture f;
        f.calculators.buy().toggle();
        QWidget* window = QtPlatform::widget(f.calculators.buy().window());
        auto* box = window->findChild<QLineEdit*>(QStringLiteral("Text1"));
        box->setText(number);
        box->selectAll(); // as Tab into the box leaves it
        QAccessibleTextInterface* text =
            QAccessible::queryAccessibleInterface(box)->textInterface();
        QVERIFY(text);
        // As Orca reads a line: run by run of attributes, each from the offset the last ended.
        QString read;
        for (int offset = 0; offset < text->characterCount();) {
            int start = -1;
            int end = -1;
            text->attributes(offset, &start, &end);
            QVERIFY2(start <= offset && offset < end, "the run holds the offset asked for");
            read += text->text(offset, end);
            offset = end;
        }
        QCOMPARE(read, number);
        int start = -1;
        int end = -1;
        QCOMPARE(text->selectionCount(), 1);
        text->selection(0, &start, &end);
        QCOMPARE(text->text(start, end), number);
        QCOMPARE(text->cursorPosition(), int(number.size()));
    }

    void everyWindowIsAFrameWithItsCaption() {
        Fixture f;
        f.calculators.buy().toggle();
        f.calculators.sell().toggle();
        for (QWidget* window : {f.form, QtPlatform::widget(f.calculators.buy().window()),
                                QtPlatform::widget(f.calculators.sell().window())}) {
            QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(window);
            QCOMPARE(int(frame->role()), int(QAccessible::Window));
            QCOMPARE(frame->text(QAccessible::Name), window->windowTitle());
        }
    }

    void theStartListSaysWhatItIsForWhateverItHolds() {
        Fixture f;
        auto* list = f.form->findChild<QComboBox*>(QStringLiteral("Com1"));
        list->setCurrentIndex(1);
        emit list->activated(1);
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(list);
        QCOMPARE(item->text(QAccessible::Value), QStringLiteral("丑时"));
        QCOMPARE(item->text(QAccessible::Name), QStringLiteral("开始的时辰"));
#ifdef KORVANE_QT_VALUE_TEXT
        list->setEditText(QStringLiteral("请选择")); // what the field holds, chosen or not
        using Attributes = QHash<QString, QString>;
        const auto told =
            item->attributesInterface()->attributeValue(QAccessible::Attribute::Custom);
        QCOMPARE(told.value<Attributes>().value(QStringLiteral("valuetext")),
                 QStringLiteral("请选择"));
#endif

        // Still a list as Qt tells it: its popup and its field, the field as its focus, and
        // an action that opens the popup.
        QVERIFY(item->state().editable && item->state().expandable);
        QCOMPARE(item->childCount(), 2);
        QCOMPARE(int(item->child(0)->role()), int(QAccessible::List));
        QCOMPARE(item->child(1)->object(), list->lineEdit());
        QCOMPARE(item->indexOfChild(item->child(1)), 1);
        QCOMPARE(item->focusChild(), item->child(1));
        item->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
        QTRY_VERIFY(item->state().expanded);
        QCOMPARE(item->child(0)->parent(), item);
        item->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
        QTRY_VERIFY(!item->state().expanded);
    }

    void theResultIsSpokenEachTimeAndClearSaysNothing() {
        if (!Spoken::heard()) {
            QSKIP("no screen reader's bus here: AnnouncementsReachAScreenReader runs this");
        }
        Fixture f;
        TradeCalculator& buy = f.calculators.buy();
        buy.toggle();
        QWidget* window = QtPlatform::widget(buy.window());
        window->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("1000"));
        window->findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QStringLiteral("12.5"));
        window->findChild<QLineEdit*>(QStringLiteral("Text3"))->setText(QStringLiteral("3"));
        Spoken result;
        for (const char* button : {"Command1", "Command1", "Command3"}) { // the same twice, Clear
            QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
        }
        QCOMPARE(result.said, (QStringList{Spoken::as("962.5"), Spoken::as("962.5")}));
    }

    void theRefreshAloneIsSpokenOfTheCountdown() {
        if (!Spoken::heard()) {
            QSKIP("no screen reader's bus here: AnnouncementsReachAScreenReader runs this");
        }
        Fixture f;
        f.form->findChild<QComboBox*>(QStringLiteral("Com1"))->setCurrentIndex(11);
        f.form1.com1Click();
        f.form1.command1Click();
        Spoken refresh;
        for (int tick = 1; tick < 150; ++tick) {
            f.form1.timer1Timer();
        }
        QVERIFY(refresh.said.isEmpty()); // no countdown is spoken by itself
        f.form1.timer1Timer();
        QCOMPARE(refresh.said, QStringList{Spoken::as("现在刷价")});
        f.form1.timer1Timer();
        QCOMPARE(refresh.said.size(), 1);
    }

    void mainWindowTreeAsAScreenReaderSeesIt() {
        Fixture f;
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(f.form);
        QCOMPARE(window->text(QAccessible::Name),
                 QStringLiteral("KorvaneV1.0.5（市场刷价计时器）"));
        const QStringList lines = tree(window);
        for (const QString& line : lines) {
            qInfo("%s", qPrintable(line));
            QVERIFY2(!line.endsWith(QStringLiteral("\"\"")), qPrintable(line)); // no nameless
        }
        QCOMPARE(lines.size(), 22); // every control but the timer
    }
};

QTEST_MAIN(AccessibilityGuiTest)
#include "AccessibilityGuiTest.moc"
