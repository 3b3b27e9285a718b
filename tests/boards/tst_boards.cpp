// The alphabetical, in-office and out-of-office boards (and what the department board shares
// with them): stored layouts and columns, the rows each lists, the search within those rows,
// editing in place, and when each board shows a change stored elsewhere.
#include "boardtest.h"
#include "controls/plaincontrols.h"
#include "data/table.h"
#include "locator/employeeoutform.h"
#include "locator/inofficeform.h"
#include "locator/locatorform.h"
#include "locator/locatorform2.h"
#include "locator/updateform.h"
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QtTest>

using controls::DBGrid;
using controls::DBNavigator;
using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;

namespace {

TLocatorBoard* board(const QString& name) {
    if (name == "LocatorForm") return LocatorForm;
    if (name == "LocatorForm2") return LocatorForm2;
    if (name == "InOfficeForm") return InOfficeForm;
    if (name == "EmployeeOutForm") return EmployeeOutForm;
    return nullptr;
}

DBGrid* grid(controls::Form* f) { return f->child<DBGrid>("DBGrid1"); }

} // namespace

class TestBoards : public QObject {
    Q_OBJECT

    std::unique_ptr<boardtest::Desk> desk;
    testsupport::TestDatabase& db() { return desk->db(); }

    void searchOn(TLocatorBoard* b, const QString& text) {
        b->child<QLineEdit>("Edit1")->setText(text);
        boardtest::click(b->child<QPushButton>("Button1"));
    }
    QString storedStatus(const QString& name) {
        return db().scalar("SELECT Status FROM Staff WHERE Name = ?", {name}).toString();
    }
    // Puts the grid's current cell in the column with this title.
    void goToColumn(DBGrid* g, const QString& title) {
        const int c = boardtest::columnOf(g, title);
        QVERIFY(c >= 0);
        g->setFocus();
        g->setCurrentIndex(g->model()->index(g->currentShownRow(), c));
        QCoreApplication::processEvents();
    }

private slots:
    void init() {
        desk = std::make_unique<boardtest::Desk>();
        // Every status the boards must tell apart, in an order that is not the name order.
        db().addStaff("Grant, Lee", {{"Status", "Out"}, {"Department", "Sales"}, {"Destination", "Airport"}});
        db().addStaff("Abbott, Helen", {{"Department", "Accounts"}});
        db().addStaff("Baker, Tom", {{"Status", "Out"},
                                     {"Department", "Sales"},
                                     {"Destination", "Bank"},
                                     {"Date_Left", "3/11/26"},
                                     {"Time_Left", "9:30"}});
        db().addStaff("Clark, Ida", {{"Status", "in"}});
        db().addStaff("Davis, Roy", {{"Status", "OUT"}});
        db().addStaff("Evans, Pia", {{"Status", QVariant()}, {"Destination", QVariant()}});
        db().addStaff("Ford, Ada", {{"Department", "Sales"}});
        db().addStaff("Hill, Joe", {{"Status", "IN "}});
        desk->createWindows();
    }
    void cleanup() {
        QVERIFY(desk->prompter().verifyAllAnswered());
        desk.reset();
    }

    void layouts_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tableName");
        QTest::addColumn<QString>("sourceName");
        QTest::addColumn<QString>("navigatorName");
        QTest::addColumn<bool>("hints");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("centred");
        QTest::addColumn<QStringList>("bold");
        QTest::addColumn<int>("storedColumns");
        QTest::addColumn<QStringList>("groups");
        QTest::newRow("alphabetical")
            << "LocatorForm"
            << "Automated Staff Locator"
            << "StaffTable"
            << "DataSource1"
            << "DBNavigator" << true
            << QStringList{"Name",      "Status",      "Destination", "Date_Left",
                           "Time Left", "Retrun Date", "Return Time", "Contact_Phone"}
            << QStringList{"Status", "Date_Left", "Time Left", "Retrun Date", "Return Time"}
            << QStringList{"Name"} << 8 << QStringList{"Actions", "Data Navigator"};
        QTest::newRow("department") << "LocatorForm2"
                                    << "Automated Staff Locator"
                                    << "Table1"
                                    << "DataSource4"
                                    << "DBNavigator2" << false
                                    << QStringList{"Status",    "Name",        "Destination", "Date_Left",
                                                   "Time Left", "Return Date", "Return Time", "Contact #"}
                                    << QStringList{} << QStringList{} << 8
                                    << QStringList{"Department Filter", "Locator Board Navigation"};
        QTest::newRow("in office") << "InOfficeForm"
                                   << "Employees IN Office"
                                   << "StaffTable"
                                   << "DataSource1"
                                   << "DBNavigator" << true
                                   << QStringList{"Name",      "Department",  "Destination", "Date_Left",
                                                  "Time Left", "Retrun Date", "Return Time", "Contact_Phone"}
                                   << QStringList{"Date_Left", "Time Left", "Retrun Date", "Return Time"}
                                   << QStringList{"Name"} << 9 << QStringList{"Actions", "Data Navigator"};
        QTest::newRow("out of office")
            << "EmployeeOutForm"
            << "Employees Out Of Office"
            << "StaffTable"
            << "DataSource1"
            << "DBNavigator" << true
            << QStringList{"Name",      "Department",  "Destination", "Date Left",
                           "Time Left", "Retrun Date", "Return Time", "Contact Phone"}
            << QStringList{"Date Left", "Time Left", "Retrun Date", "Return Time"} << QStringList{"Name"} << 9
            << QStringList{"Actions", "Data Navigator"};
    }
    void layouts() {
        QFETCH(QString, window);
        QFETCH(QString, caption);
        QFETCH(QString, tableName);
        QFETCH(QString, sourceName);
        QFETCH(QString, navigatorName);
        QFETCH(bool, hints);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, centred);
        QFETCH(QStringList, bold);
        QFETCH(int, storedColumns);
        QFETCH(QStringList, groups);
        TLocatorBoard* b = board(window);
        QVERIFY(b);
        boardtest::show(b);
        QCOMPARE(b->windowTitle(), caption);

        data::Table& t = b->table(tableName);
        QCOMPARE(&b->boardTable(), &t);
        QCOMPARE(t.TableName(), QString("Staff"));
        QCOMPARE(t.DatabaseName(), QString("Corvane2003"));
        QCOMPARE(t.IndexFieldNames(), QString("Name"));
        QVERIFY(t.AutoRefresh());
        QCOMPARE(t.fields().size(), 25);
        for (const data::Field* f : t.fields())
            QVERIFY2(f->EditMaskText().isEmpty(), qPrintable(f->name()));
        QCOMPARE(b->dataSource(sourceName).dataSet(), &t);

        DBGrid* g = grid(b);
        QCOMPARE(g->dataSource(), &b->dataSource(sourceName));
        QCOMPARE(boardtest::titles(g), titles);
        QCOMPARE(int(g->columns().size()), storedColumns);
        for (int c = 0; c < g->shownColumnCount(); ++c) {
            const QString title = g->columnTitle(c);
            const auto align = Qt::Alignment(g->model()->index(0, c).data(Qt::TextAlignmentRole).toInt());
            const auto headerAlign =
                Qt::Alignment(g->model()->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).toInt());
            QCOMPARE(bool(align & Qt::AlignHCenter), centred.contains(title));
            QCOMPARE(bool(headerAlign & Qt::AlignHCenter), centred.contains(title));
            const QVariant font = g->model()->headerData(c, Qt::Horizontal, Qt::FontRole);
            QCOMPARE(font.isValid() && font.value<QFont>().bold(), bold.contains(title));
        }
        // Navy text on a silver panel.
        QCOMPARE(g->palette().color(QPalette::Text), QColor(0, 0, 128));
        QCOMPARE(g->horizontalHeader()->palette().color(QPalette::ButtonText), QColor(0, 0, 128));
        auto* panel = qobject_cast<controls::Panel*>(g->parentWidget());
        QVERIFY(panel);
        QCOMPARE(panel->fillColor(), QColor(192, 192, 192));

        auto* nav = b->child<DBNavigator>(navigatorName);
        QCOMPARE(nav->dataSource(), &b->dataSource(sourceName));
        QCOMPARE(nav->visibleButtons(),
                 (QList<DBNavigator::Button>{DBNavigator::First, DBNavigator::Prior, DBNavigator::Next,
                                             DBNavigator::Last, DBNavigator::Refresh}));
        QCOMPARE(nav->showHints(), hints);
        QCOMPARE(nav->button(DBNavigator::First)->toolTip(), hints ? QString("First record") : QString());

        QStringList groupTitles;
        for (QGroupBox* gb : b->findChildren<QGroupBox*>())
            groupTitles << gb->title();
        QCOMPARE(groupTitles, groups);
        auto* close = b->child<controls::BitBtn>("BitBtn1");
        QVERIFY(close->isCloseKind());
        QCOMPARE(close->text(), QString("&Previous"));
        for (QPushButton* pb : b->findChildren<QPushButton*>()) {
            QVERIFY2(!pb->isDefault(), qPrintable(pb->objectName()));
            QVERIFY2(!pb->property("cancel").toBool(), qPrintable(pb->objectName()));
        }
        // The close button shuts the board and runs nothing.
        boardtest::click(close);
        QVERIFY(!b->isVisible());
        QCOMPARE(desk->prompter().asked(), QStringList());
    }

    void searchGroupTexts_data() {
        QTest::addColumn<QString>("window");
        QTest::newRow("alphabetical") << "LocatorForm";
        QTest::newRow("in office") << "InOfficeForm";
        QTest::newRow("out of office") << "EmployeeOutForm";
    }
    void searchGroupTexts() {
        QFETCH(QString, window);
        TLocatorBoard* b = board(window);
        QGroupBox* actions = b->findChildren<QGroupBox*>().first();
        QStringList prompts;
        for (QLabel* l : actions->findChildren<QLabel*>())
            prompts << l->text();
        QCOMPARE(prompts, (QStringList{"Enter Employee Last Name Here:", "(Then Press the Search Button)"}));
        auto* edit = b->child<QLineEdit>("Edit1");
        QVERIFY(actions->isAncestorOf(edit));
        QCOMPARE(edit->toolTip(), QString("Enter employee last name here... Then click the search button."));
        auto* search = b->child<QPushButton>("Button1");
        QVERIFY(actions->isAncestorOf(search));
        QCOMPARE(search->text(), QString("&Search"));
        QCOMPARE(search->toolTip(), QString("Click to locate employee record..."));
        auto* close = b->child<controls::BitBtn>("BitBtn1");
        QVERIFY(actions->isAncestorOf(close));
        QCOMPARE(close->toolTip(), QString("Click to close screen..."));
        QGroupBox* navGroup = b->findChildren<QGroupBox*>().last();
        QVERIFY(navGroup->isAncestorOf(b->child<DBNavigator>("DBNavigator")));
    }

    void placement() {
        // The alphabetical and department boards are centred, the other two where stored.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        for (TLocatorBoard* b :
             {static_cast<TLocatorBoard*>(LocatorForm), static_cast<TLocatorBoard*>(LocatorForm2)}) {
            boardtest::show(b);
            QVERIFY2(qAbs(b->frameGeometry().center().x() - screen.center().x()) <= 1,
                     qPrintable(b->objectName()));
            QVERIFY2(qAbs(b->frameGeometry().center().y() - screen.center().y()) <= 1,
                     qPrintable(b->objectName()));
            b->Close();
        }
        boardtest::show(InOfficeForm);
        QCOMPARE(InOfficeForm->frameGeometry().topLeft(), QPoint(180, 120));
        InOfficeForm->Close();
        boardtest::show(EmployeeOutForm);
        QCOMPARE(EmployeeOutForm->frameGeometry().topLeft(), QPoint(200, 140));
    }

    void eachBoardListsItsRows_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("alphabetical: everybody")
            << "LocatorForm" << QStringList{"Abbott, Helen", "Baker, Tom", "Clark, Ida", "Davis, Roy",
                                            "Evans, Pia",    "Ford, Ada",  "Grant, Lee", "Hill, Joe"};
        // Exactly "IN" and exactly "Out": not "in", "OUT", "IN " or an empty status.
        QTest::newRow("in office") << "InOfficeForm" << QStringList{"Abbott, Helen", "Ford, Ada"};
        QTest::newRow("out of office") << "EmployeeOutForm" << QStringList{"Baker, Tom", "Grant, Lee"};
    }
    void eachBoardListsItsRows() {
        QFETCH(QString, window);
        QFETCH(QStringList, names);
        TLocatorBoard* b = board(window);
        boardtest::show(b);
        QCOMPARE(boardtest::column(grid(b), "Name"), names);
        QCOMPARE(b->boardTable().RecordCount(), int(names.size()));
        QCOMPARE(boardtest::currentCell(grid(b), "Name"), names.first());
    }

    void rowsShowTheirPresence() {
        boardtest::show(EmployeeOutForm);
        DBGrid* g = grid(EmployeeOutForm);
        QCOMPARE(boardtest::column(g, "Department"), (QStringList{"Sales", "Sales"}));
        QCOMPARE(boardtest::column(g, "Destination"), (QStringList{"Bank", "Airport"}));
        QCOMPARE(boardtest::column(g, "Date Left"), (QStringList{"3/11/26", ""}));
        QCOMPARE(boardtest::column(g, "Time Left"), (QStringList{"9:30", ""}));
        boardtest::show(LocatorForm);
        QCOMPARE(boardtest::column(grid(LocatorForm), "Status"),
                 (QStringList{"IN", "Out", "in", "OUT", "", "IN", "Out", "IN "}));
    }

    void boardSearch_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("found");
        QTest::newRow("alphabetical, a beginning") << "LocatorForm"
                                                   << "Cl"
                                                   << "Clark, Ida";
        QTest::newRow("alphabetical, empty text") << "LocatorForm"
                                                  << ""
                                                  << "Abbott, Helen";
        QTest::newRow("alphabetical, beyond the last") << "LocatorForm"
                                                       << "Zed"
                                                       << "Hill, Joe";
        QTest::newRow("alphabetical, case-sensitive") << "LocatorForm"
                                                      << "abbott"
                                                      << "Hill, Joe";
        // On a filtered board the search lands on the next employee the board lists.
        QTest::newRow("in office, an employee who is out") << "InOfficeForm"
                                                           << "Baker"
                                                           << "Ford, Ada";
        QTest::newRow("in office, status in other letters") << "InOfficeForm"
                                                            << "Clark"
                                                            << "Ford, Ada";
        QTest::newRow("in office, beyond the last listed") << "InOfficeForm"
                                                           << "G"
                                                           << "Ford, Ada";
        QTest::newRow("out of office, an employee who is in") << "EmployeeOutForm"
                                                              << "Abbott"
                                                              << "Baker, Tom";
        QTest::newRow("out of office, between two") << "EmployeeOutForm"
                                                    << "C"
                                                    << "Grant, Lee";
    }
    void boardSearch() {
        QFETCH(QString, window);
        QFETCH(QString, text);
        QFETCH(QString, found);
        TLocatorBoard* b = board(window);
        boardtest::show(b);
        searchOn(b, text);
        QCOMPARE(b->boardTable().FieldByName("Name")->AsString(), found);
        QCOMPARE(boardtest::currentCell(grid(b), "Name"), found);
        QCOMPARE(b->boardTable().IndexName(), QString("NAMEIndex"));
        QCOMPARE(desk->prompter().asked(), QStringList());
    }

    void enterSearchesNothingAndEscDoesNotClose_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("alphabetical") << "LocatorForm"
                                      << "Grant"
                                      << "Abbott, Helen";
        QTest::newRow("in office") << "InOfficeForm"
                                   << "Ford"
                                   << "Abbott, Helen";
        QTest::newRow("out of office") << "EmployeeOutForm"
                                       << "Grant"
                                       << "Baker, Tom";
    }
    void enterSearchesNothingAndEscDoesNotClose() {
        // No button of a board is the default or the cancel button: the search runs only from
        // "&Search", and only "&Previous" or the close box hide the board.
        QFETCH(QString, window);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        TLocatorBoard* b = board(window);
        boardtest::show(b);
        auto* edit = b->child<QLineEdit>("Edit1");
        edit->setFocus();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(b->boardTable().FieldByName("Name")->AsString(), shown);
        QVERIFY(b->boardTable().IndexName() != QString("NAMEIndex"));
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(b->isVisible());
        for (QPushButton* button : b->findChildren<QPushButton*>())
            QVERIFY2(!button->isDefault() && !button->autoDefault(), qPrintable(button->objectName()));
        QCOMPARE(desk->prompter().asked(), QStringList());
    }

    void searchMovesNoOtherBoard() {
        boardtest::show(LocatorForm);
        searchOn(LocatorForm, "Ford");
        QCOMPARE(InOfficeForm->boardTable().FieldByName("Name")->AsString(), QString("Abbott, Helen"));
        QCOMPARE(EmployeeOutForm->boardTable().FieldByName("Name")->AsString(), QString("Baker, Tom"));
        QCOMPARE(UpdateForm->table("StaffTable").FieldByName("Name")->AsString(), QString("Abbott, Helen"));
    }

    void anEmptyOutOfOfficeBoard() {
        db().exec("UPDATE Staff SET Status = 'IN' WHERE Status = 'Out'");
        boardtest::show(EmployeeOutForm);
        boardtest::click(EmployeeOutForm->child<DBNavigator>("DBNavigator")->button(DBNavigator::Refresh));
        QVERIFY(EmployeeOutForm->boardTable().IsEmpty());
        QCOMPARE(boardtest::column(grid(EmployeeOutForm), "Name"), QStringList());
        searchOn(EmployeeOutForm, "Baker");
        QVERIFY(EmployeeOutForm->boardTable().IsEmpty());
        QCOMPARE(desk->prompter().asked(), QStringList());
    }

    void aStatusTypedInTheGridIsStoredOnLeavingTheRow() {
        boardtest::show(LocatorForm);
        DBGrid* g = grid(LocatorForm);
        QCOMPARE(boardtest::currentCell(g, "Name"), QString("Abbott, Helen"));
        goToColumn(g, "Status");
        boardtest::type("Out");
        QCOMPARE(LocatorForm->boardTable().State(), data::DataSetState::Edit);
        QCOMPARE(storedStatus("Abbott, Helen"), QString("IN"));
        boardtest::key(Qt::Key_Down);
        QCOMPARE(storedStatus("Abbott, Helen"), QString("Out"));
        QCOMPARE(boardtest::currentCell(g, "Name"), QString("Baker, Tom"));
        QCOMPARE(LocatorForm->boardTable().State(), data::DataSetState::Browse);
        // No history row and no question.
        QCOMPARE(db().scalar("SELECT COUNT(*) FROM Staff_Log").toInt(), 0);
        QCOMPARE(desk->prompter().asked(), QStringList());
        // A board that has not read since does not list it yet; after Refresh it does.
        boardtest::show(EmployeeOutForm);
        QCOMPARE(boardtest::column(grid(EmployeeOutForm), "Name"), (QStringList{"Baker, Tom", "Grant, Lee"}));
        boardtest::click(EmployeeOutForm->child<DBNavigator>("DBNavigator")->button(DBNavigator::Refresh));
        QCOMPARE(boardtest::column(grid(EmployeeOutForm), "Name"),
                 (QStringList{"Abbott, Helen", "Baker, Tom", "Grant, Lee"}));
    }

    void aGridEditIsCutToTheFieldsSize() {
        boardtest::show(LocatorForm);
        DBGrid* g = grid(LocatorForm);
        goToColumn(g, "Status");
        boardtest::type("Outside");
        boardtest::key(Qt::Key_Down);
        QCOMPARE(storedStatus("Abbott, Helen"), QString("Out"));
    }

    void escAbandonsAGridEdit() {
        boardtest::show(LocatorForm);
        DBGrid* g = grid(LocatorForm);
        goToColumn(g, "Destination");
        boardtest::type("Lunch");
        boardtest::key(Qt::Key_Escape);
        boardtest::key(Qt::Key_Escape);
        QCOMPARE(LocatorForm->boardTable().State(), data::DataSetState::Browse);
        boardtest::key(Qt::Key_Down);
        QCOMPARE(db().scalar("SELECT Destination FROM Staff WHERE Name = 'Abbott, Helen'").toString(),
                 QString("IN Office"));
    }

    void aPendingGridEditIsStoredAtTheNextShowing() {
        boardtest::show(LocatorForm);
        DBGrid* g = grid(LocatorForm);
        goToColumn(g, "Status");
        boardtest::type("Out");
        LocatorForm->child<QLineEdit>("Edit1")->setFocus(); // the cell's text goes into the row
        QCoreApplication::processEvents();
        boardtest::click(LocatorForm->child<controls::BitBtn>("BitBtn1"));
        QVERIFY(!LocatorForm->isVisible());
        // Closing stores nothing.
        QCOMPARE(LocatorForm->boardTable().State(), data::DataSetState::Edit);
        QCOMPARE(storedStatus("Abbott, Helen"), QString("IN"));
        boardtest::show(LocatorForm);
        QCOMPARE(storedStatus("Abbott, Helen"), QString("Out"));
        QCOMPARE(LocatorForm->boardTable().State(), data::DataSetState::Browse);
        QCOMPARE(boardtest::currentCell(g, "Name"), QString("Abbott, Helen"));
        QCOMPARE(db().scalar("SELECT COUNT(*) FROM Staff_Log").toInt(), 0);
    }

    void aPendingGridEditIsStoredBySearch() {
        boardtest::show(InOfficeForm);
        DBGrid* g = grid(InOfficeForm);
        goToColumn(g, "Destination");
        boardtest::type("Canteen");
        searchOn(InOfficeForm, "Ford");
        QCOMPARE(db().scalar("SELECT Destination FROM Staff WHERE Name = 'Abbott, Helen'").toString(),
                 QString("Canteen"));
        QCOMPARE(boardtest::currentCell(g, "Name"), QString("Ford, Ada"));
    }

    void aDuplicateNameIsRefusedAndTheRowStaysInEdit() {
        boardtest::show(LocatorForm);
        DBGrid* g = grid(LocatorForm);
        goToColumn(g, "Name");
        QTest::keyClick(g, Qt::Key_F2);
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor && editor != g);
        static_cast<QLineEdit*>(editor)->selectAll();
        boardtest::type("Baker, Tom");
        desk->prompter().expectMatching(QRegularExpression(".+"), MsgDlgType::Error, MsgButtons::OK,
                                        ModalResult::OK);
        boardtest::key(Qt::Key_Down);
        QVERIFY(desk->prompter().verifyAllAnswered());
        QCOMPARE(LocatorForm->boardTable().State(), data::DataSetState::Edit);
        QCOMPARE(LocatorForm->boardTable().FieldByName("Name")->AsString(), QString("Baker, Tom"));
        QCOMPARE(db().scalar("SELECT COUNT(*) FROM Staff WHERE Name = 'Baker, Tom'").toInt(), 1);
        QCOMPARE(db().scalar("SELECT COUNT(*) FROM Staff WHERE Name = 'Abbott, Helen'").toInt(), 1);
    }

    void aCheckOutShowsOnTheAlphabeticalBoardAtOnceAndOnTheOutBoardAfterRefresh() {
        boardtest::show(UpdateForm);
        TUpdateForm* screen = UpdateForm;
        boardtest::click(screen->child<QPushButton>("Button2"));
        QCOMPARE(boardtest::currentCell(grid(LocatorForm), "Name"), QString("Abbott, Helen"));
        boardtest::click(LocatorForm->child<controls::BitBtn>("BitBtn1"));
        boardtest::click(screen->child<QPushButton>("Button5"));
        QCOMPARE(boardtest::column(grid(EmployeeOutForm), "Name"), (QStringList{"Baker, Tom", "Grant, Lee"}));
        boardtest::click(EmployeeOutForm->child<controls::BitBtn>("BitBtn1"));

        // The check-out of another desk.
        db().exec("UPDATE Staff SET Status = 'Out', Destination = 'Harbour', Date_Left = '3/11/26', "
                  "Time_Left = '14:05' WHERE Name = 'Ford, Ada'");

        boardtest::click(screen->child<QPushButton>("Button2"));
        DBGrid* alpha = grid(LocatorForm);
        const int ford = int(boardtest::column(alpha, "Name").indexOf("Ford, Ada"));
        QVERIFY(ford >= 0);
        QCOMPARE(boardtest::column(alpha, "Status").at(ford), QString("Out"));
        QCOMPARE(boardtest::column(alpha, "Destination").at(ford), QString("Harbour"));
        QCOMPARE(boardtest::currentCell(alpha, "Name"), QString("Abbott, Helen"));
        boardtest::click(LocatorForm->child<controls::BitBtn>("BitBtn1"));

        boardtest::click(screen->child<QPushButton>("Button5"));
        DBGrid* out = grid(EmployeeOutForm);
        QCOMPARE(boardtest::column(out, "Name"), (QStringList{"Baker, Tom", "Grant, Lee"}));
        boardtest::click(EmployeeOutForm->child<DBNavigator>("DBNavigator")->button(DBNavigator::Refresh));
        QCOMPARE(boardtest::column(out, "Name"), (QStringList{"Baker, Tom", "Ford, Ada", "Grant, Lee"}));
        // And it leaves the in-office board at that board's next read.
        boardtest::click(EmployeeOutForm->child<controls::BitBtn>("BitBtn1"));
        boardtest::click(screen->child<QPushButton>("Button4"));
        QCOMPARE(boardtest::column(grid(InOfficeForm), "Name"), (QStringList{"Abbott, Helen", "Ford, Ada"}));
        boardtest::click(InOfficeForm->child<DBNavigator>("DBNavigator")->button(DBNavigator::Refresh));
        QCOMPARE(boardtest::column(grid(InOfficeForm), "Name"), (QStringList{"Abbott, Helen"}));
    }
};

QTEST_MAIN(TestBoards)
#include "tst_boards.moc"
