// Reading messages: the window's stored layout, Find and its filter texts, comments stored by
// every way that stores them or left pending, the navigator's Delete and Edit, and the
// message report written to a PDF file and read back.
#include "messages/msgform.h"
#include "messagetest.h"
#include "controls/plaincontrols.h"
#include "data/query.h"
#include "reports/connection.h"
#include "reports/project.h"
#include "reporttest.h"
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace messagetest;
using controls::DBLookupComboBox;
using controls::DBNavigator;

namespace {
// Where the layout's positions are measured from: the silver area inside the two panels.
const QPoint kArea(8, 8);
} // namespace

class TestMsgForm : public QObject {
    Q_OBJECT

    std::unique_ptr<Desk> desk;
    std::unique_ptr<TMsgForm> form;
    std::shared_ptr<reporttest::ScriptedReportWindows> windows;
    std::unique_ptr<QTemporaryDir> out;

    data::Table& mess() { return form->table("Table1"); }
    DBEdit* box(const char* name) { return form->child<DBEdit>(QLatin1String(name)); }
    DBMemo* comments() { return form->child<DBMemo>("DBMemo2"); }
    DBLookupComboBox* picker() { return form->child<DBLookupComboBox>("DBLookupComboBox1"); }
    DBNavigator* navigator() { return form->child<DBNavigator>("DBNavigator1"); }
    QString from() { return box("EditFrom")->text(); }

    void addMessage(const QVariant& to, const QString& from, const QVariantMap& more = {}) {
        QVariantMap row = more;
        row["To"] = to;
        row["From"] = from;
        row["Status"] = "Active";
        desk->db().insert("Mess", row);
    }
    QVariant commentsOf(const QString& from) {
        return desk->db().scalar("SELECT Comments FROM Mess WHERE \"From\" = ?", {from});
    }

    void show() { QVERIFY(showActive(*form)); }
    void pick(const QString& name) { QVERIFY2(pickFromList(picker(), name), qPrintable(name)); }
    void find() { click(form->child<QWidget>("Button22")); }
    void findFor(const QString& name) {
        pick(name);
        find();
    }
    void press(DBNavigator::Button b) { click(navigator()->button(b)); }
    void typeComment(const QString& text) { typeInto(comments(), text); }
    void closeWindow() { click(form->child<QWidget>("BitBtn1")); }

    // The callers of the listed messages, walked with the navigator from the first.
    QStringList listed() {
        QStringList callers;
        if (!mess().Active() || mess().IsEmpty()) return callers;
        if (navigator()->button(DBNavigator::First)->isEnabled()) press(DBNavigator::First);
        callers << from();
        // Next stays enabled until a press finds no row after the last.
        while (navigator()->button(DBNavigator::Next)->isEnabled()) {
            const data::RowKey before = mess().CurrentKey();
            press(DBNavigator::Next);
            if (mess().CurrentKey() == before) break;
            callers << from();
        }
        return callers;
    }

    bool boxesEmpty() {
        for (const char* b : {"DBEdit4", "EditDate", "EditTime", "EditFrom", "EditCompany", "EditPhone",
                              "EditExt", "DBEdit2", "EditMessageTakenBy", "DBEdit3", "StatusDBEdit"})
            if (!box(b)->text().isEmpty()) return false;
        return form->child<DBMemo>("DBMemo1")->text().isEmpty() && comments()->text().isEmpty();
    }

    // Report with the output going to a PDF file; the file's text.
    QString report() {
        const QString file = out->filePath("messages.pdf");
        QFile::remove(file);
        windows->next.destination = reports::Destination::File;
        windows->next.fileName = file;
        click(form->child<QWidget>("Button1"));
        // The PDF's text holds the font's ligatures ("ﬀ" in "Staff"): compared by letters.
        return reporttest::pdfText(file).normalized(QString::NormalizationForm_KC);
    }

private slots:
    void initTestCase() { layouts::ensureLoaded(); }
    void init() {
        desk = std::make_unique<Desk>(); // Abbott, Helen and Baker, Tom
        desk->db().addStaff("Carter, Joe");
        desk->db().addStaff("O'Brien, Pat");
        desk->db().addStaff("Ab*");
        addMessage("Abbott, Helen", "First Caller",
                   {{"Message Given", "Please ring back"}, {"Date", "03/11/26"}});
        addMessage("Carter, Joe", "Carter Caller");
        addMessage("Abbott, Helen", "Second Caller", {{"Company", "Acme Ltd"}});
        addMessage("ABBOTT, HELEN", "Shouting Caller");
        addMessage("O'Brien, Pat", "Irish Caller");
        addMessage("Abbey, Sam", "Prefix Caller");
        addMessage(QVariant(), "Nameless Caller");
        form = std::make_unique<TMsgForm>();
        out = std::make_unique<QTemporaryDir>();
        windows = std::make_shared<reporttest::ScriptedReportWindows>();
        reports::setReportWindows(windows);
        reports::setProjectFolder({});
    }
    void cleanup() {
        const bool answered = desk->prompter().verifyAllAnswered();
        form.reset();
        QVERIFY(!MsgForm);
        reports::setReportWindows(nullptr);
        reports::setProjectFolder({});
        windows.reset();
        out.reset();
        desk.reset();
        QVERIFY(answered);
    }

    void storedDataObjects() {
        QCOMPARE(MsgForm, form.get());
        QCOMPARE(form->windowTitle(), QString("Staff Telephone Messages"));
        QVERIFY(!mess().Active());
        QCOMPARE(mess().TableName(), QString("Mess"));
        QVERIFY(mess().Filter().isEmpty());
        QVERIFY(!mess().Filtered());
        QVERIFY(mess().IndexName().isEmpty() && mess().IndexFieldNames().isEmpty());
        const QStringList names = {"Mess_No", "To",           "Date",          "Time",
                                   "From",    "Company",      "Phone",         "Ext",
                                   "Media",   "Message Type", "Message Given", "Message Taken By",
                                   "Status",  "Comments",     "Response"};
        const QList<int> sizes = {0, 35, 50, 50, 25, 30, 14, 4, 16, 25, 200, 3, 8, 1, 1};
        QCOMPARE(mess().fieldDefs().size(), names.size());
        for (int i = 0; i < names.size(); ++i) {
            const data::FieldDef& def = mess().fieldDefs()[i];
            QCOMPARE(def.fieldName, names[i]);
            QVERIFY2(def.editMask.isEmpty(), qPrintable(names[i]));
            if (sizes[i]) QCOMPARE(def.size, sizes[i]);
        }
        QVERIFY(form->dataSource("DataSource1").AutoEdit());
        QCOMPARE(form->dataSource("DataSource1").dataSet(), &mess());
        data::Query& q = form->query("Query1");
        QVERIFY(q.Active());
        QCOMPARE(q.SQL(), (QStringList{"SELECT Name", "FROM Staff Staff", "ORDER BY Name"}));
        QCOMPARE(form->dataSource("DataSource2").dataSet(), &q);

        QCOMPARE(form->RvDataSetConnection1().name(), QString("RvDataSetConnection1"));
        QCOMPARE(form->RvDataSetConnection1().dataSet(), &mess());
        QCOMPARE(reports::DataConnection::named("rvdatasetconnection1").size(), 1);
        QCOMPARE(form->RvProject1().name(), QString("RvProject1"));
        QCOMPARE(form->RvProject1().ProjectFile(), QString("C:\\Program Files\\Corvane\\EmpMessages.rav"));
        QVERIFY(!form->RvProject1().isLoaded());

        // The picker offers the names read at creation, in name order; a name added later is
        // not among them.
        desk->db().addStaff("Zander, Zoe");
        QStringList offered;
        picker()->showPopup();
        for (int i = 0; i < picker()->view()->model()->rowCount(); ++i)
            offered << picker()->view()->model()->index(i, 0).data().toString();
        picker()->hidePopup();
        QCOMPARE(offered, (QStringList{"Ab*", "Abbott, Helen", "Baker, Tom", "Carter, Joe", "O'Brien, Pat"}));
        QVERIFY(picker()->text().isEmpty());
        QVERIFY(!picker()->isBound());
    }

    void boxes_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QRect>("place"); // left, top, width, height in the silver area
        QTest::addColumn<QString>("label");
        QTest::addColumn<QPoint>("labelAt");
        QTest::addColumn<QString>("hint");
        auto row = [](const char* c, const char* f, QRect r, const char* l, QPoint lp, const char* h) {
            QTest::newRow(c) << QString(c) << QString(f) << r << QString(l) << lp << QString(h);
        };
        row("DBEdit4", "To", {8, 16, 137, 21}, "Message To:", {8, 0}, "");
        row("EditDate", "Date", {160, 16, 153, 21}, "Date Received:", {160, 0},
            "Date message was received...");
        row("EditTime", "Time", {320, 16, 81, 21}, "Time Received:", {320, 0},
            "The time the message was received...");
        row("EditFrom", "From", {8, 56, 137, 21}, "Message From:", {8, 40}, "This message was from...");
        row("EditCompany", "Company", {160, 56, 241, 21}, "Company", {160, 40},
            "The caller was from this company...");
        row("EditPhone", "Phone", {8, 96, 72, 21}, "Telephone:", {8, 80},
            "The caller's telephone number is...");
        row("EditExt", "Ext", {88, 96, 57, 21}, "Ext:", {88, 80}, "The caller's telephone extention is...");
        row("DBEdit2", "Media", {160, 96, 153, 21}, "Media:", {160, 80},
            "The media the message was recieved...");
        row("EditMessageTakenBy", "Message Taken By", {320, 96, 81, 21}, "Taken By:", {320, 80},
            "Entered by...");
        row("DBEdit3", "Message Type", {8, 144, 305, 21}, "Message Type:", {8, 125},
            "The actions the caller has left are...");
        row("StatusDBEdit", "Status", {320, 144, 81, 21}, "Status:", {320, 128}, "");
        row("DBMemo1", "Message Given", {7, 192, 394, 89}, "Message Given", {7, 173},
            "This is the entire message left...");
        row("DBMemo2", "Comments", {8, 304, 393, 57}, "Comments", {8, 288}, "");
    }
    void boxes() {
        QFETCH(QString, control);
        QFETCH(QString, field);
        QFETCH(QRect, place);
        QFETCH(QString, label);
        QFETCH(QPoint, labelAt);
        QFETCH(QString, hint);
        QWidget* w = form->child<QWidget>(control);
        auto* link = dynamic_cast<controls::dbctl::TextFieldLink*>(w);
        QVERIFY(link);
        QCOMPARE(link->dataSource(), &form->dataSource("DataSource1"));
        QCOMPARE(link->dataField(), field);
        QCOMPARE(link->ReadOnly(), control != "DBMemo2");
        QCOMPARE(w->geometry().translated(-kArea), place);
        QCOMPARE(w->toolTip(), hint);
        QLabel* l = nullptr;
        for (QLabel* candidate : form->findChildren<QLabel*>())
            if (candidate->text() == label) l = candidate;
        QVERIFY2(l, qPrintable(label));
        QCOMPARE(l->pos() - kArea, labelAt);
        QCOMPARE(l->parentWidget(), w->parentWidget());
        QCOMPARE(l->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        // "Status:" and "Comments" are drawn larger than the other labels.
        const bool large = label == "Status:" || label == "Comments";
        QCOMPARE(l->font().pointSize(), large ? 8 : 7);
    }

    void windowAndGroup() {
        show();
        QCOMPARE(form->frameGeometry().size(), QSize(441, 517));
        const QRect screen = form->screen()->availableGeometry();
        const QPoint off = form->frameGeometry().center() - screen.center();
        QVERIFY(qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1);
        auto* area = qobject_cast<controls::Panel*>(box("DBEdit4")->parentWidget());
        QVERIFY(area);
        QCOMPARE(area->bevelOuter(), QString("lowered"));
        QCOMPARE(area->bevelWidth(), 4);
        QCOMPARE(area->fillColor(), QColor(192, 192, 192));
        auto* outer = qobject_cast<controls::Panel*>(area->parentWidget());
        QVERIFY(outer);
        QCOMPARE(outer->bevelOuter(), QString("lowered"));
        QCOMPARE(outer->bevelWidth(), 4);

        auto* group = form->child<QGroupBox>("GroupBox1");
        QCOMPARE(group->title(), QString("Employee Last Name"));
        QVERIFY(group->font().bold());
        QCOMPARE(group->geometry().translated(-kArea), QRect(8, 368, 393, 81));
        const struct {
            const char* name;
            QPoint at;
            int width;
        } inGroup[] = {{"DBLookupComboBox1", {8, 16}, 105},
                       {"Button22", {120, 16}, 41},
                       {"DBNavigator1", {168, 16}, 208},
                       {"Button1", {168, 48}, 105},
                       {"BitBtn1", {280, 48}, 107}};
        for (const auto& g : inGroup) {
            QWidget* w = form->child<QWidget>(g.name);
            QCOMPARE(w->parentWidget(), group);
            QCOMPARE(w->pos(), g.at);
            QCOMPARE(w->width(), g.width);
            // Only the group's caption is bold.
            QVERIFY2(!w->font().bold(), g.name);
        }
        QCOMPARE(picker()->listDataSet(), &form->dataSet("Query1"));
        QCOMPARE(picker()->list()->listField(), QString("Name"));
        QCOMPARE(picker()->list()->keyField(), QString("Name"));
        QCOMPARE(form->child<QPushButton>("Button22")->text(), QString("Find"));
        QCOMPARE(form->child<QPushButton>("Button1")->text(), QString("Report"));
        auto* close = form->child<controls::BitBtn>("BitBtn1");
        QCOMPARE(close->text(), QString("&Close"));
        QVERIFY(close->isCloseKind());

        QCOMPARE(navigator()->dataSource(), &form->dataSource("DataSource1"));
        const QList<DBNavigator::Button> shown = {DBNavigator::First, DBNavigator::Prior,  DBNavigator::Next,
                                                  DBNavigator::Last,  DBNavigator::Delete, DBNavigator::Edit,
                                                  DBNavigator::Post,  DBNavigator::Refresh};
        QCOMPARE(navigator()->visibleButtons(), shown);
        QStringList hints;
        for (DBNavigator::Button b : shown)
            hints << navigator()->button(b)->toolTip();
        QCOMPARE(hints, (QStringList{"First record", "Prior record", "Next record", "Last record",
                                     "Delete record", "Edit record", "Post edit", "Refresh data"}));

        // Closing only hides the window; a showing runs nothing of the window's own.
        closeWindow();
        QVERIFY(!form->isVisible());
        QVERIFY(!mess().Active());
    }

    // Tab runs date, time, caller, company, telephone, extension, media, taken by, message
    // type, status, the message, Find, the navigator, Close, the picker, Report, the message-to
    // box, the comments and round again.
    void tabOrder() {
        show();
        const QStringList order{"EditDate",     "EditTime",     "EditFrom",          "EditCompany",
                                "EditPhone",    "EditExt",      "DBEdit2",           "EditMessageTakenBy",
                                "DBEdit3",      "StatusDBEdit", "DBMemo1",           "Button22",
                                "DBNavigator1", "BitBtn1",      "DBLookupComboBox1", "Button1",
                                "DBEdit4",      "DBMemo2",      "EditDate"};
        auto owner = [&](QWidget* w) -> QString {
            for (; w && w != form.get(); w = w->parentWidget())
                if (order.contains(w->objectName())) return w->objectName();
            return w ? QString("(none)") : QString();
        };
        box("EditDate")->setFocus(Qt::TabFocusReason);
        QStringList walked{owner(QApplication::focusWidget())};
        for (int i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << owner(QApplication::focusWidget());
        }
        QCOMPARE(walked, order);
    }

    // Before the first Find: empty boxes, the navigator disabled, no typing in the comments.
    void notYetSearched() {
        show();
        QVERIFY(boxesEmpty());
        for (int b = 0; b < DBNavigator::ButtonCount; ++b)
            QVERIFY(!navigator()->button(DBNavigator::Button(b))->isEnabled());
        typeComment("note");
        QVERIFY(comments()->text().isEmpty());
        QVERIFY(!mess().Active());
        // Closing and showing again changes nothing.
        closeWindow();
        show();
        QVERIFY(!mess().Active());
        QVERIFY(boxesEmpty());
    }

    // The filter text of each pick, and exactly the messages it lists: case counts, an
    // apostrophe is doubled, a trailing "*" compares a prefix, no name lists the messages to
    // nobody.
    void findFilters_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("callers");
        QTest::newRow("a name with messages")
            << "Abbott, Helen"
            << "To ='Abbott, Helen'" << QStringList{"First Caller", "Second Caller"};
        QTest::newRow("another name") << "Carter, Joe"
                                      << "To ='Carter, Joe'" << QStringList{"Carter Caller"};
        QTest::newRow("an apostrophe") << "O'Brien, Pat"
                                       << "To ='O''Brien, Pat'" << QStringList{"Irish Caller"};
        QTest::newRow("a prefix") << "Ab*"
                                  << "To ='Ab*'"
                                  << QStringList{"First Caller", "Second Caller", "Prefix Caller"};
        QTest::newRow("a name with none") << "Baker, Tom"
                                          << "To ='Baker, Tom'" << QStringList{};
        QTest::newRow("no name chosen") << ""
                                        << "To =''" << QStringList{"Nameless Caller"};
    }
    void findFilters() {
        QFETCH(QString, name);
        QFETCH(QString, filter);
        QFETCH(QStringList, callers);
        show();
        if (!name.isEmpty()) pick(name);
        find();
        QCOMPARE(mess().Filter(), filter);
        QVERIFY(mess().Filtered());
        QVERIFY(mess().Active());
        if (callers.isEmpty()) {
            QVERIFY(boxesEmpty());
            for (auto b : {DBNavigator::First, DBNavigator::Prior, DBNavigator::Next, DBNavigator::Last,
                           DBNavigator::Delete, DBNavigator::Post})
                QVERIFY(!navigator()->button(b)->isEnabled());
        } else {
            // The first listed message is shown.
            QCOMPARE(from(), callers.first());
        }
        QCOMPARE(listed(), callers);
    }

    // A second Find on an open table goes to the first message of the new name, and the
    // window keeps name and message across closing and showing again.
    void findAgainAndReopen() {
        show();
        findFor("Abbott, Helen");
        press(DBNavigator::Next);
        QCOMPARE(from(), QString("Second Caller"));
        closeWindow();
        show();
        QCOMPARE(picker()->text(), QString("Abbott, Helen"));
        QCOMPARE(from(), QString("Second Caller"));
        QCOMPARE(box("EditCompany")->text(), QString("Acme Ltd"));
        findFor("Carter, Joe");
        QCOMPARE(from(), QString("Carter Caller"));
        QCOMPARE(box("DBEdit4")->text(), QString("Carter, Joe"));
    }

    // A typed comment puts the message in edit; every one of these stores it first.
    void commentStored_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("shownAfter");
        QTest::newRow("Post") << "Post"
                              << "First Caller";
        QTest::newRow("a move") << "Next"
                                << "Second Caller";
        QTest::newRow("Refresh") << "Refresh"
                                 << "First Caller";
        QTest::newRow("Find") << "Find"
                              << "Carter Caller";
        QTest::newRow("Report") << "Report"
                                << "First Caller";
    }
    void commentStored() {
        QFETCH(QString, how);
        QFETCH(QString, shownAfter);
        show();
        findFor("Abbott, Helen");
        typeComment("Called back at noon");
        QCOMPARE(mess().State(), DataSetState::Edit);
        QVERIFY(commentsOf("First Caller").isNull());
        QString text;
        if (how == "Post")
            press(DBNavigator::Post);
        else if (how == "Next")
            press(DBNavigator::Next);
        else if (how == "Refresh")
            press(DBNavigator::Refresh);
        else if (how == "Find")
            findFor("Carter, Joe");
        else
            text = report();
        QCOMPARE(commentsOf("First Caller").toString(), QString("Called back at noon"));
        QCOMPARE(mess().State(), DataSetState::Browse);
        QCOMPARE(from(), shownAfter);
        if (how == "Report") {
            QVERIFY2(text.contains("Called back at noon"), qPrintable(text));
            QCOMPARE(comments()->text(), QString("Called back at noon"));
        }
    }

    // A comment left pending stays pending while the window is closed, and the program's
    // end drops it.
    void commentPendingAcrossClosing() {
        show();
        findFor("Abbott, Helen");
        typeComment("Left pending");
        closeWindow();
        QVERIFY(!form->isVisible());
        show();
        QCOMPARE(mess().State(), DataSetState::Edit);
        QCOMPARE(comments()->text(), QString("Left pending"));
        QCOMPARE(from(), QString("First Caller"));
        QVERIFY(commentsOf("First Caller").isNull());
        form.reset(); // the program's end
        QVERIFY(commentsOf("First Caller").isNull());
    }

    // A refused post shows the engine's error and leaves the comment pending in edit.
    void refusedPost() {
        show();
        findFor("Abbott, Helen");
        desk->db().refuse("Mess", "UPDATE", "no comments today");
        typeComment("Will not store");
        desk->prompter().expectMatching(
            QRegularExpression(".*no comments today.*", QRegularExpression::DotMatchesEverythingOption),
            MsgDlgType::Error, MsgButtons::OK, ModalResult::OK);
        press(DBNavigator::Post);
        QCOMPARE(mess().State(), DataSetState::Edit);
        QCOMPARE(comments()->text(), QString("Will not store"));
        QVERIFY(commentsOf("First Caller").isNull());
        desk->db().allow("Mess");
        press(DBNavigator::Post);
        QCOMPARE(commentsOf("First Caller").toString(), QString("Will not store"));
    }

    // Delete asks first; Cancel keeps the message, OK removes it for good with its pending
    // comment, and the next listed message (the previous one after the last) is shown.
    void deleteMessages() {
        show();
        findFor("Ab*");
        desk->prompter().expect("Delete record?", MsgDlgType::Confirmation, MsgButtons::OKCancel,
                                ModalResult::Cancel);
        press(DBNavigator::Delete);
        QCOMPARE(desk->messageCount(), 7);
        QCOMPARE(from(), QString("First Caller"));
        typeComment("about to go");
        desk->prompter().expect("Delete record?", MsgDlgType::Confirmation, MsgButtons::OKCancel,
                                ModalResult::OK);
        press(DBNavigator::Delete);
        QCOMPARE(desk->messageCount(), 6);
        QVERIFY(!desk->db().scalar("SELECT COUNT(*) FROM Mess WHERE Comments IS NOT NULL").toInt());
        QCOMPARE(from(), QString("Second Caller"));
        press(DBNavigator::Last);
        QCOMPARE(from(), QString("Prefix Caller"));
        desk->prompter().expect("Delete record?", MsgDlgType::Confirmation, MsgButtons::OKCancel,
                                ModalResult::OK);
        press(DBNavigator::Delete);
        QCOMPARE(from(), QString("Second Caller"));
        QCOMPARE(listed(), QStringList{"Second Caller"});
        QCOMPARE(desk->messageCount(), 5);
    }

    // Deleting the only listed message leaves empty boxes and no move or delete to press.
    void deleteTheOnlyListedMessage() {
        show();
        findFor("Carter, Joe");
        desk->prompter().expect("Delete record?", MsgDlgType::Confirmation, MsgButtons::OKCancel,
                                ModalResult::OK);
        press(DBNavigator::Delete);
        QVERIFY(boxesEmpty());
        for (auto b : {DBNavigator::Delete, DBNavigator::First, DBNavigator::Prior, DBNavigator::Next,
                       DBNavigator::Last})
            QVERIFY(!navigator()->button(b)->isEnabled());
        QCOMPARE(desk->db().scalar("SELECT COUNT(*) FROM Mess WHERE \"To\" = ?", {"Carter, Joe"}).toInt(), 0);
    }

    // After a Find that lists nothing, Edit or typing begins a new row; stored, it holds only
    // the comment and is not listed by the filter in force.
    void newRowAfterFindListingNothing_data() {
        QTest::addColumn<bool>("pressEdit");
        QTest::newRow("Edit") << true;
        QTest::newRow("typing") << false;
    }
    void newRowAfterFindListingNothing() {
        QFETCH(bool, pressEdit);
        show();
        findFor("Baker, Tom");
        QVERIFY(navigator()->button(DBNavigator::Edit)->isEnabled());
        if (pressEdit) {
            press(DBNavigator::Edit);
            QCOMPARE(mess().State(), DataSetState::Insert);
        }
        typeComment("A note to nobody");
        QCOMPARE(mess().State(), DataSetState::Insert);
        press(DBNavigator::Post);
        QCOMPARE(desk->messageCount(), 8);
        const QList<QVariantMap> rows = desk->messages();
        const QVariantMap& m = rows.last();
        QCOMPARE(m.value("Comments").toString(), QString("A note to nobody"));
        for (const char* f : {"To", "Date", "Time", "From", "Company", "Phone", "Ext", "Media",
                              "Message Type", "Message Given", "Message Taken By", "Status", "Response"})
            QVERIFY2(m.value(f).toString().isEmpty(), f);
        press(DBNavigator::Refresh);
        QVERIFY(boxesEmpty());
        QCOMPARE(listed(), QStringList{});
    }

    // Before any Find the report covers every message in the table's order, and the table
    // is closed again afterwards.
    void reportBeforeAnyFind() {
        show();
        const QString text = report();
        QCOMPARE(windows->shown, (QStringList{"Output Options", "Report Status"}));
        QVERIFY2(text.contains("Staff Telephone Messages"), qPrintable(text));
        const QStringList order = {"First Caller", "Carter Caller", "Second Caller",  "Shouting Caller",
                                   "Irish Caller", "Prefix Caller", "Nameless Caller"};
        int last = -1;
        for (const QString& c : order) {
            const int at = text.indexOf(c);
            QVERIFY2(at > last, qPrintable(c + " out of order in:\n" + text));
            last = at;
        }
        QVERIFY(text.contains("Messages listed: 7"));
        // Every field of a message is in its block.
        for (const char* v : {"Please ring back", "03/11/26", "Acme Ltd", "O'Brien, Pat", "Active"})
            QVERIFY2(text.contains(v), v);
        QVERIFY(!mess().Active());
        QVERIFY(!mess().Filtered());
        QVERIFY(mess().Filter().isEmpty());
        QVERIFY(!mess().ControlsDisabled());
        QVERIFY(boxesEmpty());
        QVERIFY(form->RvProject1().isLoaded());
    }

    // After a Find the report covers exactly the listed messages, and the window stays on
    // the message it showed.
    void reportAfterFind() {
        show();
        findFor("Abbott, Helen");
        press(DBNavigator::Next);
        const QString text = report();
        QVERIFY2(text.contains("First Caller") && text.contains("Second Caller"), qPrintable(text));
        for (const char* c :
             {"Carter Caller", "Shouting Caller", "Irish Caller", "Prefix Caller", "Nameless Caller"})
            QVERIFY2(!text.contains(c), c);
        QVERIFY(text.contains("Messages listed: 2"));
        QVERIFY(mess().Active());
        QCOMPARE(mess().Filter(), QString("To ='Abbott, Helen'"));
        QVERIFY(mess().Filtered());
        QCOMPARE(from(), QString("Second Caller"));
        QCOMPARE(mess().State(), DataSetState::Browse);

        findFor("Baker, Tom");
        const QString none = report();
        QVERIFY2(none.contains("No messages."), qPrintable(none));
        QVERIFY(!none.contains("Caller"));
    }

    // A long comment with line breaks is printed whole, wrapped in its block.
    void longCommentWrapped() {
        show();
        findFor("Carter, Joe");
        QString note;
        for (int i = 1; i <= 40; ++i)
            note += QString("word%1 ").arg(i);
        typeComment(note.trimmed());
        QTest::keyClick(comments(), Qt::Key_Return);
        QTest::keyClicks(comments(), "second paragraph");
        const QString text = report();
        for (int i = 1; i <= 40; ++i)
            QVERIFY2(text.contains(QString("word%1").arg(i)), qPrintable(QString::number(i) + "\n" + text));
        QVERIFY(text.contains("second paragraph"));
        QVERIFY(!text.contains(QChar(0x2026)));
        QVERIFY(text.indexOf("word40") < text.indexOf("second paragraph"));
    }

    // A missing project file shows the engine's message (no period added) and changes
    // nothing; the next Report reads the file again.
    void reportProjectMissing() {
        show();
        findFor("Carter, Joe");
        const QString installed = reports::resolveProjectFile(form->RvProject1().ProjectFile());
        QTemporaryDir folder;
        reports::setProjectFolder(folder.path());
        const QString path = QDir(folder.path()).filePath("EmpMessages.rav");
        desk->prompter().expect("The following reporting project does not exist:\n\"" + path + "\"",
                                MsgDlgType::Error, MsgButtons::OK, ModalResult::OK);
        QVERIFY(report().isEmpty());
        QVERIFY(windows->shown.isEmpty());
        QVERIFY(!form->RvProject1().isLoaded());
        QCOMPARE(from(), QString("Carter Caller"));
        QVERIFY(!mess().ControlsDisabled());
        QVERIFY(QFile::copy(installed, path));
        const QString text = report();
        QVERIFY2(text.contains("Carter Caller"), qPrintable(text));
        QVERIFY(form->RvProject1().isLoaded());
    }
};

QTEST_MAIN(TestMsgForm)
#include "tst_msgform.moc"
