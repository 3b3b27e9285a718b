// The navigator bar: which buttons are enabled in which state, what each runs, the delete
// question, stored buttons and hints.
#include "data/query.h"
#include "dbfixture.h"
#include <QToolButton>

using namespace dbtest;
using controls::DBNavigator;
using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;

namespace {
QString enabledButtons(const DBNavigator& nav) {
    QStringList on;
    for (int i = 0; i < DBNavigator::ButtonCount; ++i)
        if (nav.button(DBNavigator::Button(i))->isEnabled())
            on << DBNavigator::buttonName(DBNavigator::Button(i));
    return on.join(',');
}
} // namespace

class TestDBNavigator : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testsupport::TestDatabase> db;
    std::unique_ptr<testsupport::UiTestEnv> env;
    std::unique_ptr<CountingTable> staff;
    std::unique_ptr<data::DataSource> source;
    std::unique_ptr<Host> host;

    QString currentName() { return staff->FieldByName("Name")->AsString(); }
    void click(DBNavigator* nav, DBNavigator::Button b) { QTest::mouseClick(nav->button(b), Qt::LeftButton); }

private slots:
    void init() {
        db = std::make_unique<testsupport::TestDatabase>();
        env = std::make_unique<testsupport::UiTestEnv>();
        for (const char* n : {"Abbott, Helen", "Baker, Tom", "Carter, Sue"})
            db->addStaff(n);
        staff = openTable("StaffTable", "Staff", "Name", {text("Name", 25), text("Status", 3)});
        source = std::make_unique<data::DataSource>("DataSource1");
        source->setDataSet(staff.get());
        host = std::make_unique<Host>();
    }

    void cleanup() {
        host.reset();
        source.reset();
        staff.reset();
        env.reset();
        db.reset();
    }

    void buttonsFollowTheDataset_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("enabled");
        QTest::newRow("no dataset") << "none"
                                    << "";
        QTest::newRow("closed") << "closed"
                                << "";
        QTest::newRow("first row") << "open"
                                   << "Next,Last,Insert,Delete,Edit,Refresh";
        QTest::newRow("a middle row") << "middle"
                                      << "First,Prior,Next,Last,Insert,Delete,Edit,Refresh";
        QTest::newRow("last row") << "last"
                                  << "First,Prior,Insert,Delete,Edit,Refresh";
        QTest::newRow("editing") << "edit"
                                 << "Next,Last,Insert,Delete,Post,Cancel,Refresh";
        QTest::newRow("inserting") << "insert"
                                   << "Next,Last,Insert,Delete,Post,Cancel,Refresh";
        // Edit stays: on an empty table it begins a new row.
        QTest::newRow("empty table") << "empty"
                                     << "Insert,Edit,Refresh";
    }
    void buttonsFollowTheDataset() {
        QFETCH(QString, situation);
        QFETCH(QString, enabled);
        auto* nav = host->add(new DBNavigator);
        if (situation != "none") nav->bind(source.get());
        if (situation == "closed")
            staff->Close();
        else if (situation == "middle")
            staff->Next();
        else if (situation == "last")
            staff->Last();
        else if (situation == "edit")
            staff->Edit();
        else if (situation == "insert")
            staff->Insert();
        else if (situation == "empty") {
            db->exec("DELETE FROM Staff");
            staff->Refresh();
        }
        QCOMPARE(enabledButtons(*nav), enabled);
    }

    void readOnlyDatasetOffersOnlyMovesAndRefresh() {
        data::Query query("Query1");
        query.SetDatabaseName("Corvane2003");
        query.SetSQL({"SELECT Name", "FROM Staff Staff", "ORDER BY Name"});
        query.Open();
        data::DataSource qs("DataSource4");
        qs.setDataSet(&query);
        auto* nav = host->add(new DBNavigator);
        nav->bind(&qs);
        QCOMPARE(enabledButtons(*nav), QString("Next,Last,Refresh"));
        query.Close();
        QCOMPARE(enabledButtons(*nav), QString());
    }

    void buttonsRunTheirOperations() {
        auto* nav = host->add(new DBNavigator);
        nav->bind(source.get());
        QVERIFY(host->showActive());
        click(nav, DBNavigator::Last);
        QCOMPARE(currentName(), QString("Carter, Sue"));
        click(nav, DBNavigator::Prior);
        QCOMPARE(currentName(), QString("Baker, Tom"));
        click(nav, DBNavigator::First);
        QCOMPARE(currentName(), QString("Abbott, Helen"));
        click(nav, DBNavigator::Next);
        QCOMPARE(currentName(), QString("Baker, Tom"));

        click(nav, DBNavigator::Edit);
        QCOMPARE(staff->State(), data::DataSetState::Edit);
        staff->FieldByName("Status")->SetAsString("Out");
        click(nav, DBNavigator::Cancel);
        QCOMPARE(staff->FieldByName("Status")->AsString(), QString("IN"));
        click(nav, DBNavigator::Edit);
        staff->FieldByName("Status")->SetAsString("Out");
        click(nav, DBNavigator::Post);
        QCOMPARE(db->scalar("SELECT Status FROM Staff WHERE Name = 'Baker, Tom'").toString(), QString("Out"));

        click(nav, DBNavigator::Insert);
        QCOMPARE(staff->State(), data::DataSetState::Insert);
        staff->FieldByName("Name")->SetAsString("Dunn, Amy");
        click(nav, DBNavigator::Post);
        QCOMPARE(db->scalar("SELECT COUNT(*) FROM Staff").toInt(), 4);

        db->exec("UPDATE Staff SET Status = 'Out' WHERE Name = 'Dunn, Amy'");
        click(nav, DBNavigator::Refresh);
        QCOMPARE(staff->FieldByName("Status")->AsString(), QString("Out"));
        QVERIFY(env->prompter().verifyAllAnswered());
    }

    void deleteAsksFirst_data() {
        QTest::addColumn<ModalResult>("answer");
        QTest::addColumn<int>("left");
        QTest::newRow("OK deletes") << ModalResult::OK << 2;
        QTest::newRow("Cancel keeps") << ModalResult::Cancel << 3;
    }
    void deleteAsksFirst() {
        QFETCH(ModalResult, answer);
        QFETCH(int, left);
        auto* nav = host->add(new DBNavigator);
        nav->bind(source.get());
        staff->Next();
        env->prompter().expect("Delete record?", MsgDlgType::Confirmation, MsgButtons::OKCancel, answer);
        click(nav, DBNavigator::Delete);
        QVERIFY(env->prompter().verifyAllAnswered());
        QCOMPARE(db->scalar("SELECT COUNT(*) FROM Staff").toInt(), left);
        QCOMPARE(currentName(), QString(left == 2 ? "Carter, Sue" : "Baker, Tom"));
    }

    void aFailingOperationShowsTheErrorAndKeepsTheEdit() {
        auto* nav = host->add(new DBNavigator);
        nav->bind(source.get());
        click(nav, DBNavigator::Edit);
        staff->FieldByName("Name")->SetAsString("Baker, Tom"); // NAMEIndex is unique
        env->prompter().expectMatching(QRegularExpression(".+"), MsgDlgType::Error, MsgButtons::OK,
                                       ModalResult::OK);
        click(nav, DBNavigator::Next);
        QVERIFY(env->prompter().verifyAllAnswered());
        QCOMPARE(staff->State(), data::DataSetState::Edit);
        QCOMPARE(currentName(), QString("Baker, Tom"));
        QCOMPARE(enabledButtons(*nav), QString("Next,Last,Insert,Delete,Post,Cancel,Refresh"));
    }

    void storedButtonsAndHints() {
        auto* nav = host->add(new DBNavigator);
        nav->setProperty("dataSource", "DataSource1");
        nav->setProperty("visibleButtons", "First,Prior,Next,Last,Edit,Cancel,Refresh");
        nav->setProperty("showHints", true);
        Objects objects;
        objects.sources.insert("DataSource1", source.get());
        nav->bindData(objects);
        QVERIFY(host->showActive());
        const QList<DBNavigator::Button> shown = {
            DBNavigator::First, DBNavigator::Prior,  DBNavigator::Next,   DBNavigator::Last,
            DBNavigator::Edit,  DBNavigator::Cancel, DBNavigator::Refresh};
        QCOMPARE(nav->visibleButtons(), shown);
        const QStringList hints = {"First record",  "Prior record",  "Next record", "Last record",
                                   "Insert record", "Delete record", "Edit record", "Post edit",
                                   "Cancel edit",   "Refresh data"};
        for (int i = 0; i < DBNavigator::ButtonCount; ++i) {
            const auto b = DBNavigator::Button(i);
            QCOMPARE(nav->button(b)->isVisible(), shown.contains(b));
            QCOMPARE(nav->button(b)->toolTip(), hints[i]);
            QVERIFY(!nav->button(b)->text().isEmpty() || !nav->button(b)->icon().isNull());
        }
        nav->setShowHints(false);
        QCOMPARE(nav->button(DBNavigator::First)->toolTip(), QString());
        QCOMPARE(nav->dataSource(), source.get());
    }
};

QTEST_MAIN(TestDBNavigator)
#include "tst_dbnavigator.moc"
