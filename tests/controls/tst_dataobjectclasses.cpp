// The data-object class registry: a class another layer registers is built from a window's
// data file and owned by the window; a class nobody registered, or a faulty entry, fails the
// loading clearly.
#include "controls/dataobjectclasses.h"
#include "controls/form.h"
#include "data/dataset.h"
#include "tests/support/testui.h"
#include <QtTest>

namespace {

// A component of another layer: counts from its start over a dataset of the window.
struct Counter {
    QString name_;
    data::DataSet* dataSet;
    int start;
    const QString& name() const { return name_; }
};

struct Gauge {
    QString name() const { return {}; }
};

void registerCounter() {
    controls::registerDataObjectClass(
        "TestCounter", [](const controls::StoredObject& o, controls::DataObjectSink& sink) {
            o.checkKeys({"dataSet", "start"});
            const QString name = o.name();
            const int start = o.value("start").toInt();
            sink.linkDataSet("counter " + name, o.string("dataSet"), [name, start, &sink](data::DataSet& ds) {
                sink.addComponent(std::make_unique<controls::ComponentOf<Counter>>(
                    std::unique_ptr<Counter>(new Counter{name, &ds, start})));
            });
        });
}

class GenericForm : public controls::Form {
public:
    explicit GenericForm(const QString& name) : Form(name) { load(); }
};

} // namespace

class TestDataObjectClasses : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { registerCounter(); }

    void registeredClassFromTheDataFile() {
        testsupport::UiTestEnv env;
        GenericForm w("TestComponents");
        // Each object reaches its dataset, also one that comes after it in the file.
        Counter& first = w.component<Counter>("Counter1");
        QCOMPARE(first.start, 5);
        QCOMPARE(first.dataSet, &w.dataSet("StaffTable"));
        QCOMPARE(w.component<Counter>("Counter2").start, 7);
        QVERIFY_THROWS_EXCEPTION(controls::LayoutError, w.component<Counter>("Counter3"));
        // A component is found only as its own class.
        QVERIFY_THROWS_EXCEPTION(controls::LayoutError, w.component<Gauge>("Counter1"));
    }

    void faultsFailTheLoading_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown class")
            << "TestUnknownComponent"
            << "TestUnknownComponent: unknown data object class 'TestGauge' of Gauge1";
        QTest::newRow("unknown key") << "TestBadComponentKey"
                                     << "TestBadComponentKey: unknown key 'strat' in Counter1";
        QTest::newRow("no such dataset")
            << "TestBadComponentSource"
            << "TestBadComponentSource: counter Counter1 names no dataset 'StaffTabel'";
    }
    void faultsFailTheLoading() {
        QFETCH(QString, layout);
        QFETCH(QString, message);
        testsupport::UiTestEnv env;
        try {
            GenericForm f(layout);
            QFAIL("the layout loaded");
        } catch (const controls::LayoutError& e) {
            QCOMPARE(e.message(), message);
        }
        QVERIFY(!controls::Form::find(layout));
    }
};

QTEST_MAIN(TestDataObjectClasses)
#include "tst_dataobjectclasses.moc"
