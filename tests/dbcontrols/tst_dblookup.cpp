// The look-up combo (free typing, stores its text) and the look-up list (pick only,
// incremental search, moves its list) over real Staff, Destination and Dept tables.
#include "controls/application.h"
#include "data/query.h"
#include "dbfixture.h"
#include <QAbstractItemView>
#include <QSignalSpy>

using namespace dbtest;
using controls::DBLookupCombo;
using controls::DBLookupComboBox;

class TestDBLookup : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testsupport::TestDatabase> db;
    std::unique_ptr<testsupport::UiTestEnv> env;
    std::unique_ptr<CountingTable> staff, destinations;
    std::unique_ptr<data::DataSource> staffSource, destSource;
    std::unique_ptr<Host> host;

    QVariant stored(const QString& column, const QString& name) {
        return db->scalar(QString("SELECT \"%1\" FROM Staff WHERE Name = ?").arg(column), {name});
    }
    QString currentName() { return staff->FieldByName("Name")->AsString(); }

    DBLookupCombo* destinationCombo() {
        auto* c = host->add(new DBLookupCombo);
        c->setObjectName("DBLookupCombo1");
        c->bindList(destSource.get(), "Destination");
        c->bind(staffSource.get(), "Destination");
        return c;
    }
    // The check-in window's name picker: unbound, listing the window's own table.
    DBLookupComboBox* namePicker() {
        auto* p = host->add(new DBLookupComboBox);
        p->setObjectName("DBLookupComboBox1");
        p->bindList(staffSource.get(), "Name", "Name");
        return p;
    }
    void advanceClock(int ms) { testsupport::setFixedNow(testsupport::fixedNow().addMSecs(ms)); }

private slots:
    void init() {
        db = std::make_unique<testsupport::TestDatabase>();
        testsupport::useFixedFormats();
        env = std::make_unique<testsupport::UiTestEnv>();
        for (const char* n : {"Abbott, Helen", "Baker, Tom", "Barnes, Joe", "Carter, Sue"})
            db->addStaff(n, {{"Department", "Sales"}});
        for (const char* d : {"Main Office", "Lunch", "Site Visit"})
            db->addDestination(d);
        staff =
            openTable("StaffTable", "Staff", "Name",
                      {text("Name", 25), text("Destination", 25), text("Status", 3), text("Department", 25)});
        destinations =
            openTable("Table2", "Destination", "Destination", {text("Destination", 25), text("Company", 35)});
        staffSource = std::make_unique<data::DataSource>("DataSource1");
        staffSource->setDataSet(staff.get());
        destSource = std::make_unique<data::DataSource>("DataSource2");
        destSource->setDataSet(destinations.get());
        host = std::make_unique<Host>();
    }

    void cleanup() {
        host.reset();
        staffSource.reset();
        destSource.reset();
        staff.reset();
        destinations.reset();
        env.reset();
        db.reset();
    }

    void comboListsItsListPageByPageWithoutMovingIt() {
        auto* combo = destinationCombo();
        combo->list()->setPageSize(2);
        destinations->Last();
        const data::RowKey where = destinations->CurrentKey();
        destinations->resetCounts();
        combo->list()->fetchAll();
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(0), QString("Lunch"));
        QCOMPARE(combo->itemText(1), QString("Main Office"));
        QCOMPARE(combo->itemText(2), QString("Site Visit"));
        QVERIFY(destinations->fetchCalls >= 2);
        QCOMPARE(destinations->CurrentKey(), where);
        QCOMPARE(combo->text(), QString("IN Office")); // the employee's own value
    }

    void comboStoresAPickedTextAtTheNextPost() {
        auto* combo = destinationCombo();
        QSignalSpy clicked(combo, &DBLookupCombo::clicked);
        QVERIFY(host->showActive());
        combo->setFocus(Qt::TabFocusReason);
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        QVERIFY(view->isVisible());
        const QModelIndex second = view->model()->index(1, 0);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(second).center());
        QCOMPARE(combo->text(), QString("Main Office"));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(staff->State(), data::DataSetState::Edit);
        QCOMPARE(staff->FieldByName("Destination")->AsString(), QString("IN Office"));
        staff->Post();
        QCOMPARE(stored("Destination", "Abbott, Helen").toString(), QString("Main Office"));
        QCOMPARE(combo->text(), QString("Main Office"));

        // The keyboard picks too.
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->text(), QString("Site Visit"));
        QCOMPARE(staff->State(), data::DataSetState::Edit);
        staff->Post();
        QCOMPARE(stored("Destination", "Abbott, Helen").toString(), QString("Site Visit"));
    }

    void comboStoresTypedTextCutToTheFieldsWidth_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("not in the list") << "Dentist"
                                         << "Dentist";
        QTest::newRow("longer than the field") << "A very long destination text here"
                                               << "A very long destination t";
    }
    void comboStoresTypedTextCutToTheFieldsWidth() {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        auto* combo = destinationCombo();
        QVERIFY(host->showActive());
        combo->setFocus(Qt::TabFocusReason);
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), typed);
        QCOMPARE(staff->State(), data::DataSetState::Edit);
        QCOMPARE(combo->text(), typed); // not completed to a list entry
        staff->Post();
        QCOMPARE(stored("Destination", "Abbott, Helen").toString(), expected);
        QCOMPARE(combo->text(), expected);
    }

    void comboTextSetByCodeIsStoredOnlyWhileEditing() {
        auto* combo = destinationCombo();
        combo->setText("Lunch"); // browsing: shown, not stored
        staff->Edit();
        staff->FieldByName("Status")->SetAsString("IN");
        staff->Post();
        QCOMPARE(stored("Destination", "Abbott, Helen").toString(), QString("IN Office"));

        staff->Edit();
        combo->setText("Site Visit");
        QVERIFY(combo->Modified());
        QCOMPARE(staff->FieldByName("Destination")->AsString(), QString("IN Office"));
        staff->Post();
        QCOMPARE(stored("Destination", "Abbott, Helen").toString(), QString("Site Visit"));
    }

    void comboEscapeAndCodeSetFieldsReload() {
        auto* combo = destinationCombo();
        QVERIFY(host->showActive());
        combo->setFocus(Qt::TabFocusReason);
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), "Gym");
        QTest::keyClick(combo->lineEdit(), Qt::Key_Escape);
        QCOMPARE(combo->text(), QString("IN Office"));
        QVERIFY(!combo->Modified());
        staff->FieldByName("Destination")->SetAsString("Lunch");
        QCOMPARE(combo->text(), QString("Lunch"));
        staff->Next();
        QCOMPARE(combo->text(), QString("IN Office"));
    }

    void unboundComboOnlyHoldsItsText() {
        auto* combo = host->add(new DBLookupCombo);
        combo->bindList(staffSource.get(), "Name");
        QVERIFY(host->showActive());
        combo->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(combo->lineEdit(), "Bak");
        QCOMPARE(combo->text(), QString("Bak"));
        QCOMPARE(staff->State(), data::DataSetState::Browse);
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->text(), QString("Abbott, Helen"));
        QCOMPARE(currentName(), QString("Abbott, Helen"));
        QCOMPARE(staff->State(), data::DataSetState::Browse);
    }

    // A data source may go away before the controls that use it (windows destroyed out of
    // order): the controls forget its dataset, so that dataset may go next.
    void controlsForgetADataSourceThatGoesAway() {
        auto* combo = destinationCombo();
        auto* picker = namePicker();
        QVERIFY(host->showActive());
        QCOMPARE(combo->list()->dataSet(), destinations.get());
        QCOMPARE(picker->listDataSet(), staff.get());
        destSource.reset();
        staffSource.reset();
        QCOMPARE(combo->list()->dataSet(), nullptr);
        QCOMPARE(picker->listDataSet(), nullptr);
        destinations.reset();
        staff.reset();
        combo->showPopup(); // nothing to list, and nothing dangling
        picker->showPopup();
        QCOMPARE(combo->list()->rowCount(), 0);
        QCOMPARE(picker->list()->rowCount(), 0);
    }

    void typingSearchesTheClosedList() {
        auto* picker = namePicker();
        QSignalSpy clicked(picker, &DBLookupComboBox::clicked);
        staff->Last();
        QVERIFY(host->showActive());
        picker->setFocus();

        QTest::keyClicks(picker, "b");
        QCOMPARE(picker->text(), QString("Baker, Tom"));
        QCOMPARE(currentName(), QString("Baker, Tom")); // an unbound list moves its table
        QCOMPARE(clicked.count(), 1);
        advanceClock(500);
        QTest::keyClicks(picker, "AR"); // case does not matter
        QCOMPARE(picker->searchText(), QString("bAR"));
        QCOMPARE(picker->text(), QString("Barnes, Joe"));
        QCOMPARE(currentName(), QString("Barnes, Joe"));
        QTest::keyClicks(picker, "x"); // finds nothing: not added, nothing moves
        QCOMPARE(picker->searchText(), QString("bAR"));
        QCOMPARE(currentName(), QString("Barnes, Joe"));
        QCOMPARE(clicked.count(), 3);

        advanceClock(2000); // not more than 2 seconds: the search goes on
        QTest::keyClicks(picker, "n");
        QCOMPARE(picker->searchText(), QString("bARn"));
        advanceClock(2001); // a longer pause starts afresh
        QTest::keyClicks(picker, "c");
        QCOMPARE(picker->searchText(), QString("c"));
        QCOMPARE(currentName(), QString("Carter, Sue"));

        QTest::keyClick(picker, Qt::Key_Backspace);
        QCOMPARE(picker->searchText(), QString());
        QTest::keyClicks(picker, "a");
        QCOMPARE(currentName(), QString("Abbott, Helen"));
        QTest::keyClick(picker, Qt::Key_Escape);
        QCOMPARE(picker->searchText(), QString());
        QCOMPARE(picker->keyValue().toString(), QString("Abbott, Helen"));
        QVERIFY(env->prompter().verifyAllAnswered());
    }

    void searchTextHoldsAtMost32Characters() {
        db->addDestination("Far", {{"Company", QString(35, 'a')}});
        auto* picker = host->add(new DBLookupComboBox);
        picker->bindList(destSource.get(), "Company", "Company");
        destinations->Refresh();
        QVERIFY(host->showActive());
        picker->setFocus();
        QTest::keyClicks(picker, QString(40, 'a'));
        QCOMPARE(picker->searchText(), QString(32, 'a'));
        QCOMPARE(picker->text(), QString(35, 'a'));
    }

    void pickingMovesTheListAfterItsBrowseCheck() {
        auto* picker = namePicker();
        QVERIFY(host->showActive());
        picker->setFocus();
        staff->Edit();
        staff->FieldByName("Status")->SetAsString("Out");
        QTest::keyClick(picker, Qt::Key_Down); // the first name: Abbott, the row being edited
        QTest::keyClick(picker, Qt::Key_Down);
        QCOMPARE(currentName(), QString("Baker, Tom"));
        QCOMPARE(staff->State(), data::DataSetState::Browse);
        QCOMPARE(stored("Status", "Abbott, Helen").toString(), QString("Out"));
        QTest::keyClick(picker, Qt::Key_End);
        QCOMPARE(currentName(), QString("Carter, Sue"));
        QTest::keyClick(picker, Qt::Key_Home);
        QCOMPARE(currentName(), QString("Abbott, Helen"));
    }

    void openingTheListMovesToTheLastChoice() {
        auto* picker = namePicker();
        QVERIFY(host->showActive());
        staff->Last();
        picker->showPopup(); // nothing chosen yet: the first row
        QCOMPARE(currentName(), QString("Abbott, Helen"));
        QCOMPARE(picker->view()->currentIndex().row(), 0);
        picker->hidePopup();

        picker->setFocus();
        QTest::keyClicks(picker, "bar");
        staff->Last();
        picker->showPopup();
        QCOMPARE(currentName(), QString("Barnes, Joe"));
        QCOMPARE(picker->view()->currentIndex().data().toString(), QString("Barnes, Joe"));
        picker->hidePopup();

        // The name is gone (another desk deleted it): the first row again.
        db->exec("DELETE FROM Staff WHERE Name = 'Barnes, Joe'");
        staff->Last();
        picker->showPopup();
        QCOMPARE(currentName(), QString("Abbott, Helen"));
        picker->hidePopup();
    }

    void listOverAQueryMovesTheQuery() {
        data::Query query("Query1");
        query.SetDatabaseName("Corvane2003");
        query.SetSQL({"SELECT Name", "FROM Staff Staff", "ORDER BY Name"});
        query.addFieldDef(text("Name", 25));
        query.Open();
        data::DataSource querySource("DataSource4");
        querySource.setDataSet(&query);
        auto* picker = host->add(new DBLookupComboBox);
        Objects objects;
        objects.sources.insert("DataSource4", &querySource);
        picker->setProperty("listSource", "DataSource4");
        picker->setProperty("listField", "Name");
        picker->setProperty("keyField", "Name");
        picker->bindData(objects);
        QSignalSpy clicked(picker, &DBLookupComboBox::clicked);
        QVERIFY(host->showActive());
        picker->setFocus();
        QTest::keyClicks(picker, "c");
        QCOMPARE(picker->text(), QString("Carter, Sue"));
        QCOMPARE(query.FieldByName("Name")->AsString(), QString("Carter, Sue"));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(currentName(), QString("Abbott, Helen")); // the window's table is its own
    }

    void boundListStoresTheKeyOfThePick() {
        auto dept = openTable("Table3", "Dept", "Department", {text("Department", 30)});
        for (const char* d : {"Accounts", "Sales", "Shipping"})
            db->addDept(d);
        dept->Refresh();
        data::DataSource deptSource("DataSource3");
        deptSource.setDataSet(dept.get());
        auto* list = host->add(new DBLookupComboBox);
        list->bindList(&deptSource, "Department");
        list->bind(staffSource.get(), "Department");
        QCOMPARE(list->text(), QString("Sales"));
        QVERIFY(list->isBound());
        QVERIFY(host->showActive());
        list->setFocus();
        QTest::keyClicks(list, "sh");
        QCOMPARE(list->text(), QString("Shipping"));
        QCOMPARE(staff->State(), data::DataSetState::Edit);
        QCOMPARE(staff->FieldByName("Department")->AsString(), QString("Shipping"));
        staff->Post();
        QCOMPARE(stored("Department", "Abbott, Helen").toString(), QString("Shipping"));
        staff->Next();
        QCOMPARE(list->text(), QString("Sales"));

        list->SetReadOnly(true);
        advanceClock(3000);
        QTest::keyClicks(list, "a");
        QCOMPARE(list->text(), QString("Sales"));
        QCOMPARE(staff->State(), data::DataSetState::Browse);
    }
};

QTEST_MAIN(TestDBLookup)
#include "tst_dblookup.moc"
