// The media and message-type lists: their stored layouts, the keyboard on the lower panel
// when they open, and the list kept through the grid and the navigator, with "&Done"
// leaving a pending row for the next showing.
#include "controls/db/dbcontrols.h"
#include "controls/plaincontrols.h"
#include "data/table.h"
#include "layouts/layouts.h"
#include "messages/mediaform.h"
#include "messages/msgtypeform.h"
#include "tests/support/testdb.h"
#include "tests/support/testinput.h"
#include "tests/support/testui.h"
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QScreen>
#include <QToolButton>
#include <QtTest>
#include <memory>

using controls::DBGrid;
using controls::DBNavigator;
using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;
using data::DataSetState;
using testsupport::type;

class TestPickLists : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::TestDatabase> db;
    std::unique_ptr<testsupport::UiTestEnv> env;
    std::unique_ptr<messages::PickListForm> form;
    QString tableName, fieldName;

    testsupport::ScriptedPrompter& prompter() { return env->prompter(); }
    data::Table& table() { return form->table("Table1"); }
    DBGrid* grid() { return form->child<DBGrid>("DBGrid1"); }
    DBNavigator* nav() { return form->child<DBNavigator>("DBNavigator"); }
    QString current() { return table().FieldByName(fieldName)->AsString(); }
    QStringList stored() {
        QStringList out;
        for (const auto& r :
             db->rows(QString("SELECT \"%1\" AS v FROM %2 ORDER BY \"%1\"").arg(fieldName, tableName)))
            out << r.value("v").toString();
        return out;
    }

    // The window of the row's list over a few entries.
    void create(const QString& list) {
        if (list == "media") {
            tableName = "Media";
            fieldName = "Media_Type";
            for (const char* m : {"Fax", "Telephone", "Voice Mail"})
                db->insert("Media", {{"Media_Type", m}});
            form = std::make_unique<TMediaForm>();
            QCOMPARE(MediaForm, static_cast<TMediaForm*>(form.get()));
        } else {
            tableName = "Msgtype";
            fieldName = "Message Type";
            for (const char* m : {"Call Back", "Please Call", "Will Call Again"})
                db->insert("Msgtype", {{"Message Type", m}});
            form = std::make_unique<TMsgTypeForm>();
            QCOMPARE(MsgTypeForm, static_cast<TMsgTypeForm*>(form.get()));
        }
    }
    bool showActive() { return testsupport::showActive(*form); }
    void focusGrid() {
        grid()->setFocus(Qt::MouseFocusReason);
        QCOMPARE(QApplication::focusWidget(), grid());
    }
    void press(DBNavigator::Button b) { testsupport::press(nav(), b); }
    void clickDone() {
        QTest::mouseClick(form->child<controls::BitBtn>("BitBtn1"), Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    static void lists() {
        QTest::addColumn<QString>("list");
        QTest::newRow("media") << "media";
        QTest::newRow("message types") << "msgtype";
    }

private slots:
    void initTestCase() { layouts::ensureLoaded(); }

    void init() {
        db = std::make_unique<testsupport::TestDatabase>();
        env = std::make_unique<testsupport::UiTestEnv>();
        testsupport::useFixedFormats();
    }

    void cleanup() {
        QVERIFY(prompter().verifyAllAnswered());
        form.reset();
        env.reset();
        db.reset();
        QVERIFY(!MediaForm);
        QVERIFY(!MsgTypeForm);
    }

    void storedLayout_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("chars");
        QTest::addColumn<QString>("doneHint");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("media") << "media"
                               << "Message Media Type Setup Form" << QSize(334, 291) << "Media_Type" << 57
                               << "Click this button to save and close the screen..."
                               << QStringList{"Fax", "Telephone", "Voice Mail"};
        QTest::newRow("message types") << "msgtype"
                                       << "Message Type List Setup" << QSize(317, 265) << "Message Type" << 51
                                       << "Click this button to save your changes and close the screen..."
                                       << QStringList{"Call Back", "Please Call", "Will Call Again"};
    }
    void storedLayout() {
        QFETCH(QString, list);
        QFETCH(QString, caption);
        QFETCH(QSize, size);
        QFETCH(QString, title);
        QFETCH(int, chars);
        QFETCH(QString, doneHint);
        QFETCH(QStringList, rows);
        create(list);
        QCOMPARE(form->windowTitle(), caption);
        QVERIFY(table().Active());
        QVERIFY(showActive());
        QCOMPARE(form->frameGeometry().size(), size);
        const QRect screen = form->screen()->availableGeometry();
        const QPoint off = form->frameGeometry().center() - screen.center();
        QVERIFY2(qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1,
                 qPrintable(QString("%1,%2").arg(off.x()).arg(off.y())));

        // One column titled with the field's name, as wide as the field's display width, in
        // the order of the one field.
        QCOMPARE(grid()->dataSource(), &form->dataSource("DataSource1"));
        QCOMPARE(grid()->shownColumnCount(), 1);
        QCOMPARE(grid()->columnTitle(0), title);
        // As wide as `chars` characters of the grid's font, give or take the cell's margins.
        const int width = grid()->horizontalHeader()->sectionSize(0);
        const int digit = grid()->fontMetrics().horizontalAdvance(QLatin1Char('0'));
        QVERIFY2(width >= chars * digit && width <= (chars + 1) * digit + 16,
                 qPrintable(QString("%1 for a digit of %2").arg(width).arg(digit)));
        QCOMPARE(table().FieldByName(fieldName)->Size(), list == "media" ? 35 : 30);
        QStringList shown;
        for (int r = 0; r < grid()->shownRowCount(); ++r)
            shown << grid()->cellText(r, 0);
        QCOMPARE(shown, rows);
        QCOMPARE(grid()->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(grid()->palette().color(QPalette::Text), QColor(0, 0, 128));
        QCOMPARE(grid()->frameShape(), QFrame::NoFrame);

        auto* upper = form->child<controls::Panel>("Panel2");
        auto* lower = form->child<controls::Panel>("Panel1");
        QVERIFY(upper->isAncestorOf(grid()));
        QCOMPARE(upper->bevelOuter(), QString("lowered"));
        QCOMPARE(upper->bevelWidth(), 4);
        QVERIFY(lower->isAncestorOf(nav()));
        QVERIFY(upper->geometry().bottom() < lower->geometry().bottom());
        if (list == "media") {
            QCOMPARE(lower->height(), 41);
            QCOMPARE(lower->geometry().bottom() + 1, form->content()->height());
            QCOMPARE(nav()->geometry(), QRect(8, 8, 220, 25));
        } else {
            QCOMPARE(upper->geometry(), QRect(0, 0, 305, 169));
            QCOMPARE(lower->geometry(), QRect(0, 168, 305, 57));
            QCOMPARE(grid()->geometry(), QRect(6, 6, 293, 155));
            QCOMPARE(nav()->geometry(), QRect(15, 21, 200, 19));
            auto* group = form->child<QGroupBox>("GroupBox1");
            QCOMPARE(group->title(), QString("Data Navigator"));
            QCOMPARE(group->geometry(), QRect(7, 7, 218, 39));
            QVERIFY(group->font().bold());
        }

        // All ten buttons, with their hints.
        QCOMPARE(nav()->visibleButtons().size(), DBNavigator::ButtonCount);
        const QStringList hints{"First record",  "Prior record",  "Next record", "Last record",
                                "Insert record", "Delete record", "Edit record", "Post edit",
                                "Cancel edit",   "Refresh data"};
        for (int i = 0; i < DBNavigator::ButtonCount; ++i) {
            QVERIFY(nav()->button(DBNavigator::Button(i))->isVisible());
            QCOMPARE(nav()->button(DBNavigator::Button(i))->toolTip(), hints[i]);
        }
        auto* done = form->child<controls::BitBtn>("BitBtn1");
        QCOMPARE(done->text(), QString("&Done"));
        QVERIFY(done->isCloseKind());
        QCOMPARE(done->toolTip(), doneHint);
        QVERIFY(lower->isAncestorOf(done));
        QCOMPARE(done->geometry(), list == "media" ? QRect(240, 8, 75, 25) : QRect(232, 13, 65, 33));
    }

    // The keyboard starts on the lower panel: keys do not edit the grid until the user tabs
    // or clicks into it.
    void theLowerPanelIsActiveWhenTheWindowOpens_data() { lists(); }
    void theLowerPanelIsActiveWhenTheWindowOpens() {
        QFETCH(QString, list);
        create(list);
        QVERIFY(showActive());
        QCOMPARE(QApplication::focusWidget(), form->child<QWidget>("Panel1"));
        QTest::keyClicks(QApplication::focusWidget(), "xyz");
        QCOMPARE(table().State(), DataSetState::Browse);
        // Tab goes on from the panel to its close button, then round to the grid.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form->child<QWidget>("BitBtn1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), grid());
    }

    void insertPostAndEditInTheGrid_data() { lists(); }
    void insertPostAndEditInTheGrid() {
        QFETCH(QString, list);
        create(list);
        QVERIFY(showActive());
        focusGrid();
        press(DBNavigator::Insert);
        QCOMPARE(table().State(), DataSetState::Insert);
        type("Courier");
        press(DBNavigator::Post);
        QCOMPARE(table().State(), DataSetState::Browse);
        QVERIFY(stored().contains("Courier"));
        QCOMPARE(current(), QString("Courier"));
        // Typing over the current entry changes it once the row is left.
        focusGrid();
        type("Courier Post");
        QCOMPARE(table().State(), DataSetState::Edit);
        press(DBNavigator::First);
        QVERIFY(stored().contains("Courier Post"));
        QVERIFY(!stored().contains("Courier"));
    }

    // An entry typed and followed at once by "&Done" is not stored; it is still pending at
    // the next showing, and Post stores it.
    void doneLeavesTheEntryPending_data() { lists(); }
    void doneLeavesTheEntryPending() {
        QFETCH(QString, list);
        create(list);
        const QStringList before = stored();
        QVERIFY(showActive());
        focusGrid();
        press(DBNavigator::Insert);
        type("Walk In");
        clickDone();
        QVERIFY(!form->isVisible());
        QCOMPARE(table().State(), DataSetState::Insert);
        QCOMPARE(stored(), before);

        QVERIFY(showActive());
        QCOMPARE(table().State(), DataSetState::Insert);
        QCOMPARE(current(), QString("Walk In"));
        press(DBNavigator::Post);
        QCOMPARE(table().State(), DataSetState::Browse);
        QVERIFY(stored().contains("Walk In"));
        QCOMPARE(stored().size(), before.size() + 1);
    }

    void insertThenDoneWithNothingTypedLeavesNoRow_data() { lists(); }
    void insertThenDoneWithNothingTypedLeavesNoRow() {
        QFETCH(QString, list);
        create(list);
        const QStringList before = stored();
        QVERIFY(showActive());
        focusGrid();
        press(DBNavigator::Insert);
        QCOMPARE(table().State(), DataSetState::Insert);
        clickDone();
        QVERIFY(!form->isVisible());
        QCOMPARE(table().State(), DataSetState::Browse);
        QVERIFY(showActive());
        press(DBNavigator::Refresh);
        QCOMPARE(table().State(), DataSetState::Browse);
        QCOMPARE(stored(), before);
        QCOMPARE(db->scalar(QString("SELECT COUNT(*) FROM %1").arg(tableName)).toInt(), before.size());
    }

    void deleteAsksFirst_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<ModalResult>("answer");
        QTest::newRow("media, OK") << "media" << ModalResult::OK;
        QTest::newRow("media, Cancel") << "media" << ModalResult::Cancel;
        QTest::newRow("message types, OK") << "msgtype" << ModalResult::OK;
        QTest::newRow("message types, Cancel") << "msgtype" << ModalResult::Cancel;
    }
    void deleteAsksFirst() {
        QFETCH(QString, list);
        QFETCH(ModalResult, answer);
        create(list);
        // A message that used the entry keeps it whatever happens to the list.
        db->insert("Mess",
                   {{"To", "Abbott, Helen"}, {"Media", "Telephone"}, {"Message Type", "Please Call"}});
        QStringList before = stored();
        QVERIFY(showActive());
        focusGrid();
        press(DBNavigator::Next);
        const QString doomed = current();
        prompter().expect("Delete record?", MsgDlgType::Confirmation, MsgButtons::OKCancel, answer);
        press(DBNavigator::Delete);
        QVERIFY(prompter().verifyAllAnswered());
        if (answer == ModalResult::OK) before.removeAll(doomed);
        QCOMPARE(stored(), before);
        const auto mess = db->rows("SELECT * FROM Mess").value(0);
        QCOMPARE(mess.value("Media").toString(), QString("Telephone"));
        QCOMPARE(mess.value("Message Type").toString(), QString("Please Call"));
    }

    // A full-width entry is stored whole in its list.
    void aFullWidthEntryIsStoredWhole_data() { lists(); }
    void aFullWidthEntryIsStoredWhole() {
        QFETCH(QString, list);
        create(list);
        const int width = list == "media" ? 35 : 30;
        const QString entry = QString("Overnight Courier Delivery Service Co").left(width);
        QCOMPARE(entry.size(), width);
        QVERIFY(showActive());
        focusGrid();
        press(DBNavigator::Insert);
        type(entry + "XYZ");
        press(DBNavigator::Post);
        QVERIFY(stored().contains(entry));
    }
};

QTEST_MAIN(TestPickLists)
#include "tst_picklists.moc"
