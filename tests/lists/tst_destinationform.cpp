// The destination list: its stored layout, adding a destination with the navigator, "Done"
// leaving an insert or edit pending until the next move, deleting, field sizes and the
// number boxes for longitude and latitude.
#include "controls/db/dbcontrols.h"
#include "data/formatsettings.h"
#include "data/table.h"
#include "layouts/layouts.h"
#include "listtest.h"
#include "locator/destinationform.h"
#include "tests/support/testdb.h"
#include "tests/support/testui.h"
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <memory>

using controls::DBEdit;
using controls::DBNavigator;
using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;
using liststest::key;
using liststest::press;
using liststest::type;

namespace {

struct Box {
    const char* control;
    const char* label;
    const char* field;
    const char* hint;
    int size; // 0: a number
};

const Box boxes[] = {
    {"DBEdit1", "Label1", "Destination", "Enter a destination or Project...", 25},
    {"DBEdit2", "Label2", "Company", "Enter the destination company here...", 35},
    {"DBEdit3", "Label3", "Address", "Enter the destinations company address here...", 45},
    {"DBEdit4", "Label4", "City", "Enter the destination city here...", 35},
    {"DBEdit5", "Label5", "State", "Enter the destination state here...", 2},
    {"DBEdit6", "Label6", "ZipCode", "Enter the destination zip code here...", 12},
    {"DBEdit7", "Label7", "Longitude", "Enter the destination longitude here...", 0},
    {"DBEdit8", "Label8", "Latitude", "Enter the destination latitude here...", 0},
};

QString floatError(const QString& text, const QString& field) {
    return QStringLiteral("'%1' is not a valid floating point value for field '%2'").arg(text, field);
}

} // namespace

class TestDestinationForm : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::TestDatabase> db;
    std::unique_ptr<testsupport::UiTestEnv> env;
    std::unique_ptr<TDestinationForm> form;

    testsupport::ScriptedPrompter& prompter() { return env->prompter(); }
    data::Table& table() { return form->table("Table1"); }
    DBEdit* box(const QString& name) { return form->child<DBEdit>(name); }
    DBNavigator* nav() { return form->child<DBNavigator>("DBNavigator"); }
    QString current(const QString& field) { return table().FieldByName(field)->AsString(); }
    int stored() { return db->scalar("SELECT COUNT(*) FROM Destination").toInt(); }
    QVariant storedValue(const QString& destination, const QString& column) {
        return db->scalar("SELECT " + column + " FROM Destination WHERE Destination = ?", {destination});
    }
    void create() {
        form = std::make_unique<TDestinationForm>();
        QCOMPARE(DestinationForm, form.get());
    }
    // Shows the window and puts the focus in a box, as a click into it does.
    void focusBox(const QString& name) {
        QVERIFY(liststest::showActive(*form));
        box(name)->setFocus(Qt::MouseFocusReason);
        QCOMPARE(QApplication::focusWidget(), box(name));
    }
    void clickDone() {
        QTest::mouseClick(form->child<QPushButton>("Button1"), Qt::LeftButton);
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase() { layouts::ensureLoaded(); }

    void init() {
        db = std::make_unique<testsupport::TestDatabase>();
        env = std::make_unique<testsupport::UiTestEnv>();
        testsupport::useFixedFormats();
        db->addDestination("Airport", {{"Company", "City Airport"},
                                       {"City", "Dayton"},
                                       {"State", "OH"},
                                       {"Longitude", -84.2},
                                       {"Latitude", 39.9}});
        db->addDestination("Head Office", {{"Company", "Corvane"}, {"Address", "1 Main Street"}});
        db->addDestination("Warehouse", {{"Company", "Corvane"}, {"City", "Springfield"}});
    }

    void cleanup() {
        QVERIFY(prompter().verifyAllAnswered());
        form.reset();
        env.reset();
        db.reset();
        QVERIFY(!DestinationForm);
    }

    void storedLayout() {
        create();
        QCOMPARE(form->windowTitle(), QString("Staff Destination Setup"));
        QVERIFY(table().Active());
        QCOMPARE(current("Destination"), QString("Airport"));
        QVERIFY(liststest::showActive(*form));
        // Centred on the screen.
        const QRect screen = form->screen()->availableGeometry();
        const QPoint off = form->frameGeometry().center() - screen.center();
        QVERIFY2(qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1,
                 qPrintable(QString("%1,%2").arg(off.x()).arg(off.y())));

        // Eight labelled boxes on Table1's fields, each with its hint, tabbing in order.
        for (const Box& b : boxes) {
            DBEdit* e = box(b.control);
            QCOMPARE(e->dataField(), QString(b.field));
            QCOMPARE(e->dataSource(), &form->dataSource("DataSource1"));
            QCOMPARE(e->toolTip(), QString(b.hint));
            QCOMPARE(form->child<QLabel>(b.label)->text(), QString(b.field));
            QVERIFY(e->isVisible());
        }
        QCOMPARE(box("DBEdit2")->text(), QString("City Airport"));
        QCOMPARE(box("DBEdit7")->text(), QString("-84.2"));
        box("DBEdit1")->setFocus(Qt::TabFocusReason);
        QStringList order{"DBEdit1"};
        for (int i = 0; i < 8; ++i) {
            key(Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, (QStringList{"DBEdit1", "DBEdit2", "DBEdit3", "DBEdit4", "DBEdit5", "DBEdit6",
                                     "DBEdit7", "DBEdit8", "Button1"}));

        // The navigator with all ten buttons and their hints, in the group "Data Navigator".
        QCOMPARE(nav()->dataSource(), &form->dataSource("DataSource1"));
        QCOMPARE(nav()->visibleButtons().size(), DBNavigator::ButtonCount);
        const QStringList hints{"First record",  "Prior record",  "Next record", "Last record",
                                "Insert record", "Delete record", "Edit record", "Post edit",
                                "Cancel edit",   "Refresh data"};
        for (int i = 0; i < DBNavigator::ButtonCount; ++i) {
            QVERIFY(nav()->button(DBNavigator::Button(i))->isVisible());
            QCOMPARE(nav()->button(DBNavigator::Button(i))->toolTip(), hints[i]);
        }
        auto* group = qobject_cast<QGroupBox*>(nav()->parentWidget());
        QVERIFY(group);
        QCOMPARE(group->title(), QString("Data Navigator"));
        auto* done = form->child<QPushButton>("Button1");
        QCOMPARE(done->text(), QString("Done"));
        QVERIFY(!done->isDefault());
        QVERIFY(!group->isAncestorOf(done));
    }

    void insertFillAndPost() {
        create();
        focusBox("DBEdit1");
        press(nav(), DBNavigator::Insert);
        QCOMPARE(table().State(), data::DataSetState::Insert);
        QCOMPARE(box("DBEdit1")->text(), QString());
        const QStringList values{"Client Site", "Acme Corp",  "22 Elm Road", "Columbus",
                                 "OH",          "43004-1234", "-82.99",      "39.96"};
        for (const QString& v : values) {
            type(v);
            key(Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("Button1"));
        QCOMPARE(stored(), 3);
        press(nav(), DBNavigator::Post);
        QCOMPARE(table().State(), data::DataSetState::Browse);
        QCOMPARE(stored(), 4);
        const auto rows = db->rows("SELECT * FROM Destination WHERE Destination = 'Client Site'");
        QCOMPARE(rows.size(), 1);
        const QVariantMap& r = rows.first();
        QCOMPARE(r.value("Company").toString(), QString("Acme Corp"));
        QCOMPARE(r.value("Address").toString(), QString("22 Elm Road"));
        QCOMPARE(r.value("City").toString(), QString("Columbus"));
        QCOMPARE(r.value("State").toString(), QString("OH"));
        QCOMPARE(r.value("ZipCode").toString(), QString("43004-1234"));
        QCOMPARE(r.value("Longitude").toDouble(), -82.99);
        QCOMPARE(r.value("Latitude").toDouble(), 39.96);
        // Stored as numbers, not as their text: the engine hands them back as doubles and
        // compares them as numbers (stored text would sort after every number).
        QCOMPARE(r.value("Longitude").typeId(), QMetaType::Double);
        QCOMPARE(r.value("Latitude").typeId(), QMetaType::Double);
        QCOMPARE(db->scalar("SELECT COUNT(*) FROM Destination WHERE Destination = 'Client Site' "
                            "AND Longitude < 0 AND Latitude < 40")
                     .toInt(),
                 1);
        QVERIFY(!r.value("Destination_Id").isNull());
        // The table stays on the new row, in its place by name.
        QCOMPARE(current("Destination"), QString("Client Site"));
        press(nav(), DBNavigator::Prior);
        QCOMPARE(current("Destination"), QString("Airport"));
        press(nav(), DBNavigator::Next);
        press(nav(), DBNavigator::Next);
        QCOMPARE(current("Destination"), QString("Head Office"));
    }

    void typingWhileBrowsingEdits_data() {
        QTest::addColumn<bool>("empty");
        QTest::newRow("a row is shown") << false;
        QTest::newRow("empty table: a new row") << true;
    }
    void typingWhileBrowsingEdits() {
        QFETCH(bool, empty);
        if (empty) db->exec("DELETE FROM Destination");
        create();
        focusBox("DBEdit4");
        QCOMPARE(table().State(), data::DataSetState::Browse);
        box("DBEdit4")->selectAll();
        type("Toledo");
        QCOMPARE(table().State(), empty ? data::DataSetState::Insert : data::DataSetState::Edit);
        key(Qt::Key_Tab);
        press(nav(), DBNavigator::Post);
        if (empty) {
            QCOMPARE(stored(), 1);
            QCOMPARE(db->scalar("SELECT City FROM Destination").toString(), QString("Toledo"));
        } else {
            QCOMPARE(stored(), 3);
            QCOMPARE(storedValue("Airport", "City").toString(), QString("Toledo"));
        }
    }

    void escapePutsTheStoredValueBack() {
        create();
        focusBox("DBEdit2");
        box("DBEdit2")->selectAll();
        type("Someone Else");
        QCOMPARE(box("DBEdit2")->text(), QString("Someone Else"));
        key(Qt::Key_Escape);
        QCOMPARE(box("DBEdit2")->text(), QString("City Airport"));
        QVERIFY(form->isVisible()); // Esc is the box's, not the window's
        press(nav(), DBNavigator::Next);
        QCOMPARE(storedValue("Airport", "Company").toString(), QString("City Airport"));
    }

    void aMoveStoresAChangedRowWithoutAQuestion() {
        create();
        focusBox("DBEdit6");
        type("45402");
        press(nav(), DBNavigator::Next); // the box's text goes in and the row is posted
        QCOMPARE(storedValue("Airport", "ZipCode").toString(), QString("45402"));
        QCOMPARE(current("Destination"), QString("Head Office"));
        QCOMPARE(table().State(), data::DataSetState::Browse);
    }

    // "Done" hides the window and leaves the row as it was: the next showing goes on with it,
    // and the next move there stores it.
    void doneLeavesTheRowPendingUntilTheNextMove_data() {
        QTest::addColumn<bool>("inserting");
        QTest::addColumn<QString>("move");
        for (const char* move : {"First", "Prior", "Next", "Last", "Refresh"}) {
            QTest::newRow(qPrintable(QString("insert, then %1").arg(move))) << true << QString(move);
            QTest::newRow(qPrintable(QString("edit, then %1").arg(move))) << false << QString(move);
        }
    }
    void doneLeavesTheRowPendingUntilTheNextMove() {
        QFETCH(bool, inserting);
        QFETCH(QString, move);
        create();
        // On the middle row, so that every move is available.
        table().Next();
        QCOMPARE(current("Destination"), QString("Head Office"));
        focusBox("DBEdit1");
        if (inserting) {
            press(nav(), DBNavigator::Insert);
            type("Branch Office");
            key(Qt::Key_Tab);
            type("Corvane East");
        } else {
            key(Qt::Key_End);
            type(" 2");
            key(Qt::Key_Tab);
            type("Corvane East");
        }
        const auto state = inserting ? data::DataSetState::Insert : data::DataSetState::Edit;
        clickDone();
        QVERIFY(!form->isVisible());
        QCOMPARE(table().State(), state);
        QCOMPARE(stored(), 3);
        QCOMPARE(storedValue("Head Office", "Company").toString(), QString("Corvane"));

        // Shown again: still pending, the boxes as they were left.
        QVERIFY(liststest::showActive(*form));
        QCOMPARE(table().State(), state);
        const QString name = inserting ? "Branch Office" : "Head Office 2";
        QCOMPARE(box("DBEdit1")->text(), name);
        QCOMPARE(box("DBEdit2")->text(), QString("Corvane East"));
        QCOMPARE(stored(), 3);

        const int i = QMetaEnum::fromType<DBNavigator::Button>().keyToValue(qPrintable(move));
        QVERIFY(i >= 0);
        press(nav(), DBNavigator::Button(i));
        QCOMPARE(table().State(), data::DataSetState::Browse);
        QCOMPARE(stored(), inserting ? 4 : 3);
        QCOMPARE(storedValue(name, "Company").toString(), QString("Corvane East"));
        if (!inserting) QVERIFY(storedValue("Head Office", "Company").isNull());
        QCOMPARE(db->scalar("SELECT COUNT(*) FROM Destination WHERE Company = 'Corvane East'").toInt(), 1);
    }

    void anUntouchedInsertLeftByDoneIsDropped() {
        create();
        QVERIFY(liststest::showActive(*form));
        press(nav(), DBNavigator::Insert);
        clickDone();
        QVERIFY(liststest::showActive(*form));
        QCOMPARE(table().State(), data::DataSetState::Insert);
        press(nav(), DBNavigator::Next);
        QCOMPARE(table().State(), data::DataSetState::Browse);
        QCOMPARE(stored(), 3);
        QCOMPARE(current("Destination"), QString("Head Office"));
    }

    // Closed by its frame with the focus still in a changed box: the text stays in the box
    // and goes in with the next move.
    void closingByTheFrameKeepsTheTypedText() {
        create();
        focusBox("DBEdit4");
        box("DBEdit4")->selectAll();
        type("Xenia");
        form->close();
        QVERIFY(!form->isVisible());
        QVERIFY(liststest::showActive(*form));
        QCOMPARE(box("DBEdit4")->text(), QString("Xenia"));
        press(nav(), DBNavigator::Last);
        QCOMPARE(storedValue("Airport", "City").toString(), QString("Xenia"));
    }

    void deleteAsksFirst_data() {
        QTest::addColumn<ModalResult>("answer");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QString>("currentAfter");
        QTest::newRow("OK") << ModalResult::OK << QStringList{"Airport", "Warehouse"} << "Warehouse";
        QTest::newRow("Cancel") << ModalResult::Cancel << QStringList{"Airport", "Head Office", "Warehouse"}
                                << "Head Office";
    }
    void deleteAsksFirst() {
        QFETCH(ModalResult, answer);
        QFETCH(QStringList, left);
        QFETCH(QString, currentAfter);
        create();
        QVERIFY(liststest::showActive(*form));
        press(nav(), DBNavigator::Next);
        prompter().expect("Delete record?", MsgDlgType::Confirmation, MsgButtons::OKCancel, answer);
        press(nav(), DBNavigator::Delete);
        QVERIFY(prompter().verifyAllAnswered());
        QStringList rows;
        for (const auto& r : db->rows("SELECT Destination FROM Destination ORDER BY Destination"))
            rows << r.value("Destination").toString();
        QCOMPARE(rows, left);
        QCOMPARE(current("Destination"), currentAfter);
        QCOMPARE(box("DBEdit1")->text(), currentAfter);
    }

    // A post the table refuses (here: the row was changed at another desk meanwhile) reaches
    // the error box; the row stays in edit with what was typed.
    void aRefusedPostKeepsTheTypedValues() {
        create();
        focusBox("DBEdit2");
        box("DBEdit2")->selectAll();
        type("Dayton International");
        QCOMPARE(table().State(), data::DataSetState::Edit);
        db->exec("UPDATE Destination SET Company = 'Changed Elsewhere' WHERE Destination = 'Airport'");
        prompter().expectMatching(QRegularExpression(".+"), MsgDlgType::Error, MsgButtons::OK,
                                  ModalResult::OK);
        press(nav(), DBNavigator::Post);
        QVERIFY(prompter().verifyAllAnswered());
        QCOMPARE(table().State(), data::DataSetState::Edit);
        QCOMPARE(box("DBEdit2")->text(), QString("Dayton International"));
        QCOMPARE(storedValue("Airport", "Company").toString(), QString("Changed Elsewhere"));
        press(nav(), DBNavigator::Cancel);
        QCOMPARE(table().State(), data::DataSetState::Browse);
    }

    // Renaming a destination does not touch the employees who were sent there.
    void renamingLeavesEmployeesRowsAlone() {
        db->addStaff("Abbott, Helen", {{"Destination", "Airport"}, {"Status", "Out"}});
        create();
        focusBox("DBEdit1");
        box("DBEdit1")->selectAll();
        type("Dayton Airport");
        press(nav(), DBNavigator::Post);
        QCOMPARE(stored(), 3);
        QCOMPARE(storedValue("Dayton Airport", "City").toString(), QString("Dayton"));
        QCOMPARE(db->scalar("SELECT Destination FROM Staff WHERE Name = 'Abbott, Helen'").toString(),
                 QString("Airport"));
    }

    void boxesTakeAtMostTheFieldsSize_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("size");
        for (const Box& b : boxes)
            if (b.size > 0) QTest::newRow(b.field) << QString(b.control) << QString(b.field) << b.size;
    }
    void boxesTakeAtMostTheFieldsSize() {
        QFETCH(QString, control);
        QFETCH(QString, field);
        QFETCH(int, size);
        create();
        focusBox(control);
        press(nav(), DBNavigator::Insert);
        QCOMPARE(box(control)->maxLength(), size);
        QString typed;
        for (int i = 0; i < size + 5; ++i)
            typed += QChar('A' + i % 26);
        type(typed);
        QCOMPARE(box(control)->text(), typed.left(size));
        if (field != "Destination") {
            box("DBEdit1")->setFocus(Qt::MouseFocusReason);
            type("Zz Sized");
        }
        press(nav(), DBNavigator::Post);
        const QString name = field == "Destination" ? typed.left(size) : QString("Zz Sized");
        QCOMPARE(storedValue(name, field).toString(), typed.left(size));
    }

    // Longitude and latitude: keys that cannot be part of a number are refused; what is left
    // is checked when the box is left.
    void numberBoxes_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // what the box holds after the keys
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QVariant>("value"); // stored once accepted

        const QVariant none;
        for (const char* control : {"DBEdit7", "DBEdit8"}) {
            const QString c(control);
            auto row = [&](const char* tag) { return &QTest::newRow(qPrintable(c + ": " + tag)); };
            *row("decimal") << c << "12.5"
                            << "12.5" << false << QVariant(12.5);
            *row("negative") << c << "-73.985"
                             << "-73.985" << false << QVariant(-73.985);
            *row("plus sign") << c << "+4"
                              << "+4" << false << QVariant(4.0);
            *row("exponent") << c << "1E5"
                             << "1E5" << false << QVariant(100000.0);
            *row("small exponent") << c << "2.5e-3"
                                   << "2.5e-3" << false << QVariant(0.0025);
            *row("letters refused") << c << "4a5x"
                                    << "45" << false << QVariant(45.0);
            *row("comma and blanks refused") << c << "1, 5"
                                             << "15" << false << QVariant(15.0);
            *row("only refused keys") << c << "north"
                                      << "" << false << none;
            *row("two points") << c << "1.2.3"
                               << "1.2.3" << true << none;
            *row("sign alone") << c << "-"
                               << "-" << true << none;
            *row("exponent alone") << c << "E"
                                   << "E" << true << none;
            *row("exponent without digits") << c << "3e"
                                            << "3e" << true << none;
            *row("doubled sign") << c << "--1"
                                 << "--1" << true << none;
            *row("sign after digits") << c << "5-"
                                      << "5-" << true << none;
            *row("too large") << c << "1e999"
                              << "1e999" << true << none;
        }
    }
    void numberBoxes() {
        QFETCH(QString, control);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(bool, refused);
        QFETCH(QVariant, value);
        const QString field = control == "DBEdit7" ? "Longitude" : "Latitude";
        create();
        focusBox("DBEdit1");
        press(nav(), DBNavigator::Insert);
        type("Survey Point");
        box(control)->setFocus(Qt::MouseFocusReason);
        type(typed);
        QCOMPARE(box(control)->text(), shown);
        if (refused)
            prompter().expect(floatError(shown, field), MsgDlgType::Error, MsgButtons::OK, ModalResult::OK);
        key(Qt::Key_Tab);
        QVERIFY(prompter().verifyAllAnswered());
        if (refused) {
            // The focus is back in the box with its text selected, and the row still inserting.
            QCOMPARE(QApplication::focusWidget(), box(control));
            QCOMPARE(box(control)->selectedText(), shown);
            QCOMPARE(table().State(), data::DataSetState::Insert);
            QVERIFY(table().FieldByName(field)->IsNull());
            // Nothing is stored while the text is no number: the move is refused as well.
            prompter().expect(floatError(shown, field), MsgDlgType::Error, MsgButtons::OK, ModalResult::OK);
            press(nav(), DBNavigator::Next);
            QVERIFY(prompter().verifyAllAnswered());
            QCOMPARE(table().State(), data::DataSetState::Insert);
            QCOMPARE(stored(), 3);
            // Corrected, it goes in.
            box(control)->selectAll();
            type("7.25");
            key(Qt::Key_Tab);
            press(nav(), DBNavigator::Post);
            QCOMPARE(storedValue("Survey Point", field).toDouble(), 7.25);
            return;
        }
        press(nav(), DBNavigator::Post);
        QCOMPARE(table().State(), data::DataSetState::Browse);
        const QVariant v = storedValue("Survey Point", field);
        if (value.isNull()) {
            QVERIFY(v.isNull());
        } else {
            QCOMPARE(v.toDouble(), value.toDouble());
        }
    }

    // Posting with the focus still in the box checks its text the same way.
    void aNonNumberIsRefusedOnPosting() {
        create();
        focusBox("DBEdit8");
        box("DBEdit8")->selectAll();
        type("39.9.1");
        QCOMPARE(table().State(), data::DataSetState::Edit);
        prompter().expect(floatError("39.9.1", "Latitude"), MsgDlgType::Error, MsgButtons::OK,
                          ModalResult::OK);
        press(nav(), DBNavigator::Post);
        QVERIFY(prompter().verifyAllAnswered());
        QCOMPARE(table().State(), data::DataSetState::Edit);
        QCOMPARE(QApplication::focusWidget(), box("DBEdit8"));
        QCOMPARE(box("DBEdit8")->selectedText(), QString("39.9.1"));
        QCOMPARE(storedValue("Airport", "Latitude").toDouble(), 39.9);
        key(Qt::Key_Escape); // the stored value back
        QCOMPARE(box("DBEdit8")->text(), QString("39.9"));
        press(nav(), DBNavigator::Cancel);
        QCOMPARE(table().State(), data::DataSetState::Browse);
    }

    void anEmptiedNumberBoxStoresAnEmptyValue() {
        create();
        focusBox("DBEdit7");
        QCOMPARE(box("DBEdit7")->text(), QString("-84.2"));
        box("DBEdit7")->selectAll();
        key(Qt::Key_Backspace);
        key(Qt::Key_Tab);
        press(nav(), DBNavigator::Post);
        QVERIFY(storedValue("Airport", "Longitude").isNull());
        QCOMPARE(storedValue("Airport", "Latitude").toDouble(), 39.9);
    }

    // The decimal separator is the system's: with a comma, the comma is typed and the
    // point refused.
    void theSystemsDecimalSeparator() {
        data::FormatSettings fs = data::formatSettings();
        fs.decimalSeparator = ',';
        data::setFormatSettings(fs);
        create();
        QCOMPARE(box("DBEdit7")->text(), QString("-84,2"));
        focusBox("DBEdit8");
        box("DBEdit8")->selectAll();
        type("40.5,25");
        QCOMPARE(box("DBEdit8")->text(), QString("405,25"));
        key(Qt::Key_Tab);
        press(nav(), DBNavigator::Post);
        QCOMPARE(storedValue("Airport", "Latitude").toDouble(), 405.25);
        testsupport::useFixedFormats();
    }
};

QTEST_MAIN(TestDestinationForm)
#include "tst_destinationform.moc"
