// A window's data objects from its data file, on a fresh database.
#include "controls/form.h"
#include "controls/plaincontrols.h"
#include "controls/printersetup.h"
#include "controls/startuperror.h"
#include "data/datasource.h"
#include "data/query.h"
#include "data/table.h"
#include "probe.h"
#include "tests/support/testdb.h"
#include "tests/support/testui.h"
#include <QJsonObject>
#include <QPushButton>
#include <QtTest>

using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;

namespace {

class TTestData : public controls::Form {
public:
    explicit TTestData(QStringList* log) : Form("TestData"), log_(log) {
        FORM_HANDLER(FormCreate);
        FORM_HANDLER(StaffTableAfterOpen);
        FORM_HANDLER(StaffTableBeforeClose);
        FORM_HANDLER(Query1AfterOpen);
        load();
    }
    bool refuseClose = false;
    void FormCreate() { *log_ << "FormCreate"; }
    void StaffTableAfterOpen() { *log_ << "StaffTableAfterOpen"; }
    void StaffTableBeforeClose() {
        *log_ << "StaffTableBeforeClose";
        if (refuseClose) throw data::DatabaseError("StaffTable: refused");
    }
    void Query1AfterOpen() { *log_ << "Query1AfterOpen"; }

private:
    QStringList* log_;
};

} // namespace

class TestFormData : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerProbe(); }

    void objectsFromTheDataFile() {
        testsupport::TestDatabase db;
        db.addStaff("Baker, Tom");
        db.addStaff("Abbott, Helen");
        testsupport::UiTestEnv env;
        QStringList log;
        TTestData w(&log);
        // Active datasets open in file order, then the creation handler runs.
        QCOMPARE(log, (QStringList{"StaffTableAfterOpen", "Query1AfterOpen", "FormCreate"}));

        data::Table& staff = w.table("StaffTable");
        QCOMPARE(staff.TableName(), QString("Staff"));
        QCOMPARE(staff.DatabaseName(), QString("Corvane2003"));
        QCOMPARE(staff.IndexFieldNames(), QString("Name"));
        QVERIFY(staff.Active());
        QCOMPARE(staff.fields().size(), 2);
        QCOMPARE(w.field("StaffTableName").AsString(), QString("Abbott, Helen"));
        QCOMPARE(w.field("StaffTableStatus").FieldName(), QString("Status"));
        QCOMPARE(w.field("StaffTableStatus").Size(), 3);

        data::Table& dept = w.table("Table2");
        QCOMPARE(dept.TableName(), QString("Dept"));
        QVERIFY(!dept.Active());

        data::Query& q = w.query("Query1");
        QCOMPARE(q.SQL(), (QStringList{"SELECT Name", "FROM Staff Staff", "ORDER BY Name"}));
        QVERIFY(q.Active());
        QCOMPARE(w.field("Query1Name").AsString(), QString("Abbott, Helen"));
        QCOMPARE(&w.dataSet("Query1"), static_cast<data::DataSet*>(&q));

        QCOMPARE(w.dataSource("DataSource1").dataSet(), static_cast<data::DataSet*>(&staff));
        QVERIFY(w.dataSource("DataSource1").AutoEdit());
        QCOMPARE(w.dataSource("DataSource2").dataSet(), static_cast<data::DataSet*>(&q));
        QVERIFY(!w.dataSource("DataSource2").AutoEdit());
        QCOMPARE(w.printerSetupDialog("PrinterSetupDialog1").name(), QString("PrinterSetupDialog1"));
        QVERIFY_THROWS_EXCEPTION(controls::LayoutError, w.query("StaffTable"));
        QVERIFY_THROWS_EXCEPTION(controls::LayoutError, w.table("Query1"));
    }

    void controlsBoundBeforeOpening() {
        testsupport::TestDatabase db;
        db.addStaff("Abbott, Helen");
        testsupport::UiTestEnv env;
        QStringList log;
        TTestData w(&log);
        auto* probe = w.child<ProbeAware>("Probe1");
        QCOMPARE(probe->binds, 1);
        QCOMPARE(probe->source, &w.dataSource("DataSource1"));
        QVERIFY(!probe->activeAtBind);
        // The grid's stored columns were set before it was bound.
        auto* grid = w.child<ProbeAware>("DBGrid1");
        QCOMPARE(grid->binds, 1);
        QCOMPARE(grid->source, &w.dataSource("DataSource2"));
        QCOMPARE(grid->columnsAtBind.size(), 2);
        const QJsonObject first = grid->columnsAtBind.at(0).toObject();
        QCOMPARE(first.value("field").toString(), QString("Name"));
        QCOMPARE(first.value("title").toString(), QString("Name"));
        QVERIFY(first.value("titleBold").toBool());
        QCOMPARE(grid->columnsAtBind.at(1).toObject().value("alignment").toString(), QString("center"));
        QCOMPARE(grid->property("columns").toJsonArray(), grid->columnsAtBind);
    }

    void eventHandlerErrorsReachTheOperation() {
        testsupport::TestDatabase db;
        testsupport::UiTestEnv env;
        QStringList log;
        TTestData w(&log);
        w.refuseClose = true;
        QVERIFY_THROWS_EXCEPTION(data::DatabaseError, w.table("StaffTable").Close());
        // Not shown by the error box: the caller decides.
        QVERIFY(env.prompter().asked().isEmpty());
    }

    void closeButtonStoresNothing() {
        testsupport::TestDatabase db;
        db.addStaff("Abbott, Helen");
        testsupport::UiTestEnv env;
        QStringList log;
        TTestData w(&log);
        w.ShowModal();
        data::Table& staff = w.table("StaffTable");
        staff.Edit();
        w.field("StaffTableStatus").SetAsString("Out");
        QTest::mouseClick(w.child<QPushButton>("BitBtn1"), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(staff.State(), data::DataSetState::Edit);
        QCOMPARE(w.field("StaffTableStatus").AsString(), QString("Out"));
        QCOMPARE(db.scalar("SELECT Status FROM Staff WHERE Name = ?", {"Abbott, Helen"}).toString(),
                 QString("IN"));
        // Shown again, the edit is still pending.
        w.ShowModal();
        QCOMPARE(staff.State(), data::DataSetState::Edit);
        w.Close();
        QCOMPARE(log.count("StaffTableBeforeClose"), 0);
    }

    void programEndDropsPendingEditsWithoutEvents() {
        testsupport::TestDatabase db;
        db.addStaff("Abbott, Helen");
        testsupport::UiTestEnv env;
        QStringList log;
        {
            TTestData w(&log);
            w.table("StaffTable").Edit();
            w.field("StaffTableStatus").SetAsString("Out");
            log.clear();
        }
        QVERIFY2(log.isEmpty(), qPrintable(log.join(", ")));
        QCOMPARE(db.scalar("SELECT Status FROM Staff WHERE Name = ?", {"Abbott, Helen"}).toString(),
                 QString("IN"));
    }

    void missingTableEndsStartUp() {
        testsupport::TestDatabase db;
        db.dropTable("Staff");
        testsupport::UiTestEnv env;
        const QString module =
            QRegularExpression::escape(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
        env.prompter().expectMatching(
            QRegularExpression("Exception E\\w+ in module " + module + " at [0-9A-F]+\\.\r\n[^\r]+\r\n"),
            MsgDlgType::Error, MsgButtons::OK, ModalResult::OK);
        QStringList log;
        bool created = false;
        QVERIFY(!controls::runStartup([&] {
            TTestData w(&log);
            created = true;
        }));
        QVERIFY(!created);
        QVERIFY(!log.contains("FormCreate"));
        QVERIFY(env.prompter().verifyAllAnswered());
        QCOMPARE(env.prompter().questions().front().caption, QString("Application Error"));
    }
};

QTEST_MAIN(TestFormData)
#include "tst_formdata.moc"
