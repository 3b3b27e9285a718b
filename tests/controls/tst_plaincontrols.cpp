// The plain controls a layout may name, loaded from a stored layout and drawn offscreen.
#include "controls/form.h"
#include "controls/plaincontrols.h"
#include "controls/widgetfactory.h"
#include "tests/support/testui.h"
#include <QGroupBox>
#include <QLineEdit>
#include <QtTest>

namespace {

class TTestControls : public controls::Form {
public:
    TTestControls() : Form("TestControls") { load(); }
};

QImage render(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

bool near(QColor a, QColor b, int tolerance = 12) {
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

class TestPlainControls : public QObject {
    Q_OBJECT
private slots:
    void classesFromTheLayout() {
        testsupport::UiTestEnv env;
        TTestControls w;
        QVERIFY(qobject_cast<controls::Panel*>(w.child<QWidget>("Panel2")));
        QVERIFY(qobject_cast<controls::Image*>(w.child<QWidget>("Image1")));
        QVERIFY(qobject_cast<controls::Label*>(w.child<QWidget>("Label3")));
        QVERIFY(qobject_cast<controls::Label*>(w.child<QWidget>("StaticText1")));
        QCOMPARE(w.child<QLabel>("StaticText1")->text(), QString("The Quorvale"));
        QCOMPARE(w.child<QGroupBox>("GroupBox1")->title(), QString("Data Navigator"));
        // The image sits inside its panel, as stored.
        QCOMPARE(w.child<QWidget>("Image1")->parentWidget(), w.child<QWidget>("Panel2"));
        QCOMPARE(w.child<QWidget>("Image1")->geometry(), QRect(8, 8, 89, 97));
    }

    void dialogFrameHasFixedSize() {
        testsupport::UiTestEnv env;
        TTestControls w;
        QCOMPARE(w.minimumSize(), QSize(520, 420));
        QCOMPARE(w.maximumSize(), QSize(520, 420));
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    }

    void calendarAndPickerKeepStoredDates() {
        testsupport::UiTestEnv env;
        TTestControls w;
        auto* cal = w.child<controls::MonthCalendar>("MonthCalendar1");
        QCOMPARE(cal->selectedDate(), QDate(2003, 3, 11));
        QCOMPARE(cal->monthShown(), 3);
        QCOMPARE(cal->yearShown(), 2003);
        auto* picker = w.child<controls::DateTimePicker>("DateTimePicker1");
        QCOMPARE(picker->date(), QDate(2000, 8, 22));
        QVERIFY(picker->calendarPopup());
    }

    // The date picker is one tab stop: Tab leaves it rather than walking its date parts.
    void pickerTakesOneTabStop() {
        QWidget w;
        auto* before = new QLineEdit(&w);
        auto* picker = new controls::DateTimePicker(&w);
        auto* after = new QLineEdit(&w);
        QWidget::setTabOrder(before, picker);
        QWidget::setTabOrder(picker, after);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        picker->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(after));
        picker->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(before));
    }

    void imageAtNaturalSizeFromTopLeft() {
        testsupport::UiTestEnv env;
        TTestControls w;
        auto* image = w.child<controls::Image>("Image1");
        QCOMPARE(image->picture(), QString(":/layouts/TestPicture.jpg"));
        QCOMPARE(image->pixmap().size(), QSize(86, 97));
        QVERIFY(!image->hasScaledContents());
        auto* panel = w.child<controls::Panel>("Panel2");
        panel->resize(113, 121);
        const QImage img = render(panel);
        // The picture's first pixel at the image's top-left corner (8, 8 in the panel)...
        QVERIFY(near(img.pixelColor(8, 8), Qt::red));
        QVERIFY(near(img.pixelColor(8 + 85, 8 + 96), Qt::red));
        // ...and the panel's white beside and below it: not stretched to 89 pixels, not centred.
        QVERIFY(near(img.pixelColor(8 + 87, 8 + 40), Qt::white, 2));
        QVERIFY(near(img.pixelColor(8 + 40, 8 + 98), Qt::white, 2));
    }

    void panelBevelAndColour_data() {
        QTest::addColumn<QString>("bevel");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("color");
        QTest::addColumn<QColor>("fill");
        QTest::newRow("raised white") << "raised" << 5 << "white" << QColor(Qt::white);
        QTest::newRow("lowered silver") << "lowered" << 2 << "silver" << QColor(0xc0, 0xc0, 0xc0);
        QTest::newRow("designer name") << "raised" << 1 << "clSilver" << QColor(0xc0, 0xc0, 0xc0);
        QTest::newRow("system colour") << "raised" << 1 << "buttonHighlight" << QColor();
        QTest::newRow("no bevel") << "none" << 3 << "navy" << QColor(0, 0, 0x80);
    }
    void panelBevelAndColour() {
        QFETCH(QString, bevel);
        QFETCH(int, width);
        QFETCH(QString, color);
        QFETCH(QColor, fill);
        controls::registerPlainControls();
        std::unique_ptr<QWidget> w(controls::createRegisteredWidget("Panel", nullptr));
        auto* panel = qobject_cast<controls::Panel*>(w.get());
        QVERIFY(panel);
        panel->setBevelOuter(bevel);
        panel->setBevelWidth(width);
        panel->setColor(color);
        panel->resize(40, 30);
        const QPalette pal = panel->palette();
        if (!fill.isValid()) fill = pal.color(QPalette::Light);
        const QImage img = render(panel);
        QCOMPARE(img.pixelColor(20, 15).rgb(), fill.rgb());
        if (bevel == "none") {
            QCOMPARE(img.pixelColor(0, 0).rgb(), fill.rgb());
            QCOMPARE(panel->contentsMargins(), QMargins());
            return;
        }
        const bool sunken = bevel == "lowered";
        // Light above and left, dark below and right, the other way round when lowered.
        const QRgb topLeft = pal.color(sunken ? QPalette::Dark : QPalette::Light).rgb();
        const QRgb bottomRight = pal.color(sunken ? QPalette::Light : QPalette::Dark).rgb();
        QCOMPARE(img.pixelColor(0, 10).rgb(), topLeft);
        QCOMPARE(img.pixelColor(39, 10).rgb(), bottomRight);
        QCOMPARE(img.pixelColor(width - 1, 15).rgb(), topLeft);
        QCOMPARE(img.pixelColor(20, 29).rgb(), bottomRight);
        QCOMPARE(img.pixelColor(width, 15).rgb(), fill.rgb());
        QCOMPARE(panel->contentsMargins(), QMargins(width, width, width, width));
    }

    void labelDrawsAccelerator_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("blank after the ampersand") << "Automated Staff Locator & Electronic Message Pad";
        QTest::newRow("letter") << "&Name";
        QTest::newRow("double ampersand") << "Smith && Sons";
    }
    void labelDrawsAccelerator() {
        QFETCH(QString, text);
        controls::registerPlainControls();
        std::unique_ptr<QWidget> created(controls::createRegisteredWidget("QLabel", nullptr));
        auto* label = qobject_cast<controls::Label*>(created.get());
        QVERIFY(label);
        label->setText(text);
        // Qt hides the ampersand and underlines the next character only for a label with a
        // buddy; ours draws so without one.
        QWidget buddyTarget;
        QLabel withBuddy(text);
        withBuddy.setBuddy(&buddyTarget);
        QLabel plain(text);
        for (QLabel* l : {static_cast<QLabel*>(label), &withBuddy, &plain})
            l->resize(400, 24);
        QCOMPARE(render(label), render(&withBuddy));
        QVERIFY(render(label) != render(&plain));
        QCOMPARE(label->text(), text); // the caption itself is kept
    }

    void richLabelsDrawAsQt() {
        controls::registerPlainControls();
        std::unique_ptr<QWidget> created(controls::createRegisteredWidget("QLabel", nullptr));
        auto* label = qobject_cast<controls::Label*>(created.get());
        label->setText("<b>A &amp; B</b>");
        QLabel ref("<b>A &amp; B</b>");
        label->resize(200, 24);
        ref.resize(200, 24);
        QCOMPARE(render(label), render(&ref));
    }

    void closeButtonCaption() {
        controls::registerPlainControls();
        std::unique_ptr<QWidget> a(controls::createRegisteredWidget("BitBtn", nullptr));
        auto* btn = qobject_cast<controls::BitBtn*>(a.get());
        QVERIFY(btn);
        QVERIFY(!btn->isCloseKind());
        btn->setProperty("kind", "close");
        QVERIFY(btn->isCloseKind());
        QCOMPARE(btn->text(), QString("&Close"));
        std::unique_ptr<QWidget> b(controls::createRegisteredWidget("BitBtn", nullptr));
        b->setProperty("text", "&Main Menu");
        b->setProperty("kind", "close");
        QCOMPARE(qobject_cast<controls::BitBtn*>(b.get())->text(), QString("&Main Menu"));
    }

    void unknownClassIsNotCreated() { QVERIFY(!controls::createRegisteredWidget("NoSuchControl", nullptr)); }
};

QTEST_MAIN(TestPlainControls)
#include "tst_plaincontrols.moc"
