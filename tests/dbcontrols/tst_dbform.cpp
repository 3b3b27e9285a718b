// The data-aware controls as a stored layout makes them: the loader creates the registered
// classes, sets their stored properties and binds them; handlers hang on changed() and
// clicked().
#include "controls/form.h"
#include "controls/widgetfactory.h"
#include "dbfixture.h"
#include <QToolButton>

using namespace dbtest;
using namespace controls;

class TDbControlsForm : public Form {
public:
    explicit TDbControlsForm(QStringList* log) : Form("DbControlsForm"), log_(log) {
        bind("EditDateLeftChange", [this] { log_->append("change"); });
        bind("DBLookupComboBox1Click",
             [this] { log_->append("click " + child<DBLookupComboBox>("DBLookupComboBox1")->text()); });
        load();
    }

private:
    QStringList* log_;
};

class TestDBForm : public QObject {
    Q_OBJECT

private slots:
    void registeredClassesAreMadeByName() {
        testsupport::UiTestEnv env;
        for (const char* name :
             {"DBEdit", "DBMemo", "DBLookupCombo", "DBLookupComboBox", "DBGrid", "DBNavigator"}) {
            std::unique_ptr<QWidget> w(createRegisteredWidget(name, nullptr));
            QVERIFY2(w, name);
            QVERIFY(dynamic_cast<data::DataLink*>(w.get()));
            QVERIFY(dynamic_cast<DataAware*>(w.get()));
        }
        std::unique_ptr<QWidget> e(createRegisteredWidget("DBEdit", nullptr));
        QVERIFY(qobject_cast<DBEdit*>(e.get()));
    }

    void aStoredLayoutBindsEveryControl() {
        testsupport::TestDatabase db;
        testsupport::useFixedFormats();
        testsupport::UiTestEnv env;
        db.addStaff("Abbott, Helen", {{"Date_Left", "03/10/26"}, {"Comments", "Back at two"}});
        db.addStaff("Baker, Tom");
        db.addDestination("Lunch");
        QStringList log;
        TDbControlsForm w(&log);
        w.show();
        QVERIFY(testsupport::activate(&w));

        auto* name = w.child<DBEdit>("EditNAME");
        QCOMPARE(name->text(), QString("Abbott, Helen"));
        QVERIFY(name->ReadOnly());
        QCOMPARE(name->toolTip(), QString("Employee name..."));
        name->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(name, "x");
        QCOMPARE(w.table("StaffTable").State(), data::DataSetState::Browse);

        auto* date = w.child<DBEdit>("EditDateLeft");
        QCOMPARE(date->text(), QString("03/10/26"));
        QVERIFY(!date->inputMask().isEmpty());
        log.clear();
        date->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(date, "0");
        QVERIFY(log.contains("change"));
        QCOMPARE(w.table("StaffTable").State(), data::DataSetState::Edit);
        QTest::keyClick(date, Qt::Key_Escape);

        auto* memo = w.child<DBMemo>("DBMemo1");
        QCOMPARE(memo->text(), QString("Back at two"));
        QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

        auto* combo = w.child<DBLookupCombo>("DBLookupCombo1");
        QCOMPARE(combo->text(), QString("IN Office"));
        combo->list()->fetchAll();
        QCOMPARE(combo->count(), 1);
        QCOMPARE(combo->itemText(0), QString("Lunch"));

        auto* grid = w.child<DBGrid>("DBGrid1");
        QCOMPARE(grid->shownColumnCount(), 2);
        QCOMPARE(grid->columnTitle(1), QString("Status"));
        QCOMPARE(grid->cellText(1, 0), QString("Baker, Tom"));

        auto* nav = w.child<DBNavigator>("DBNavigator1");
        QVERIFY(nav->button(DBNavigator::Cancel)->isEnabled()); // the row is editing
        QVERIFY(!nav->button(DBNavigator::Insert)->isVisible());
        QCOMPARE(nav->button(DBNavigator::Refresh)->toolTip(), QString("Refresh data"));
        QTest::mouseClick(nav->button(DBNavigator::Cancel), Qt::LeftButton);
        QCOMPARE(w.table("StaffTable").State(), data::DataSetState::Browse);

        auto* picker = w.child<DBLookupComboBox>("DBLookupComboBox1");
        picker->setFocus();
        log.clear();
        QTest::keyClicks(picker, "b");
        QCOMPARE(log.filter("click"), QStringList{"click Baker, Tom"});
        QVERIFY(log.contains("change")); // the date box shows the new row's value
        QCOMPARE(name->text(), QString("Baker, Tom"));
        QCOMPARE(grid->currentShownRow(), 1);
        QVERIFY(env.prompter().verifyAllAnswered());
    }
};

QTEST_MAIN(TestDBForm)
#include "tst_dbform.moc"
