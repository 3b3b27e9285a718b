// The board reports from the main window's menu, written to PDF files and read back; the
// report engine's project loading, connections, status window and project file reader.
#include "app/mainform.h"
#include "apptest.h"
#include "controls/application.h"
#include "data/query.h"
#include "data/table.h"
#include "reports/connection.h"
#include "reports/project.h"
#include "reporttest.h"
#include <QAction>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using reports::Destination;

class TestReports : public QObject {
    Q_OBJECT

    std::unique_ptr<apptest::Session> session;
    std::shared_ptr<reporttest::ScriptedReportWindows> windows;
    std::unique_ptr<QTemporaryDir> out;

    testsupport::TestDatabase& db() { return session->db(); }
    testsupport::ScriptedPrompter& prompter() { return session->env().prompter(); }
    QString pdfPath(const QString& name = QStringLiteral("report.pdf")) const { return out->filePath(name); }

    // Runs a menu command with the output going to a PDF file; the file's text.
    QString runToPdf(const QString& item, const QString& file = QStringLiteral("report.pdf")) {
        QFile::remove(pdfPath(file));
        windows->next.destination = Destination::File;
        windows->next.fileName = pdfPath(file);
        MainForm->menuItem(item)->trigger();
        return reporttest::pdfText(pdfPath(file));
    }

    QString writeProject(const QString& fileName, const QString& text) {
        const QString path = out->filePath(fileName);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(path));
        f.write(text.toUtf8());
        return path;
    }

    static QString simpleProject(const QString& connection, const QString& columns = QStringLiteral("Name")) {
        return QStringLiteral("Quorvale report project 1\n[report]\ntitle = Test\nconnection = %1\n"
                              "[footer]\nright = Page {page} of {pages}\n[total]\ntext = Rows: {count}\n"
                              "[columns]\n%2\n")
            .arg(connection, columns);
    }

private slots:
    void init() {
        session = std::make_unique<apptest::Session>(false);
        out = std::make_unique<QTemporaryDir>();
        windows = std::make_shared<reporttest::ScriptedReportWindows>();
        reports::setReportWindows(windows);
        reports::setProjectFolder({});
    }
    void cleanup() {
        const bool answered = prompter().verifyAllAnswered();
        session.reset();
        reports::setReportWindows(nullptr);
        reports::setProjectFolder({});
        windows.reset();
        out.reset();
        QVERIFY(answered);
    }

    // The stored folder stands for the installed projects; the build tree has all six.
    void storedPathsMapToTheInstalledProjects() {
        session->createWindows();
        const QStringList files = {"IN_Out_Transactions.rav", "AlphabeticalView.rav", "DeptView.rav",
                                   "InOffice.rav", "OutOffice.rav"};
        for (int i = 0; i < 5; ++i) {
            const reports::Project& p = MainForm->project(QStringLiteral("RvProject%1").arg(i + 1));
            QCOMPARE(p.ProjectFile(), QStringLiteral("C:\\Program Files\\Corvane\\") + files[i]);
            QVERIFY2(QFileInfo(reports::resolveProjectFile(p.ProjectFile())).isFile(),
                     qPrintable(reports::resolveProjectFile(p.ProjectFile())));
        }
        QVERIFY(
            QFileInfo(reports::resolveProjectFile("C:\\Program Files\\Corvane\\EmpMessages.rav")).isFile());
        QCOMPARE(MainForm->connection("RvQueryConnection1").dataSet(), &MainForm->query("Query1"));
        QCOMPARE(MainForm->connection("RvQueryConnection5").dataSet(), &MainForm->query("Query5"));
    }

    // Each report selects on Status exactly; "in", "OUT" and an empty status show only in the
    // reports of every employee.
    void reportsSelectOnStatusExactly_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        const QStringList all = {"Inman, Ida", "Outlaw, Oscar", "Lower, Lily", "Upper, Uma", "Blank, Bea"};
        QTest::newRow("Employee In / Out View") << "EmployeeView1"
                                                << "Employee In / Out View" << all << QStringList{};
        QTest::newRow("Department IN / Out View") << "DepartmentView1"
                                                  << "Department IN / Out View" << all << QStringList{};
        QTest::newRow("Employees IN View")
            << "EmployeesIN1"
            << "Employees IN View" << QStringList{"Inman, Ida"}
            << QStringList{"Outlaw, Oscar", "Lower, Lily", "Upper, Uma", "Blank, Bea"};
        QTest::newRow("Employees Out View")
            << "EmployeesOut1"
            << "Employees Out View" << QStringList{"Outlaw, Oscar"}
            << QStringList{"Inman, Ida", "Lower, Lily", "Upper, Uma", "Blank, Bea"};
    }
    void reportsSelectOnStatusExactly() {
        QFETCH(QString, item);
        QFETCH(QString, title);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        db().addStaff("Inman, Ida", {{"Department", "Sales"}, {"Status", "IN"}});
        db().addStaff("Outlaw, Oscar", {{"Department", "Sales"}, {"Status", "Out"}, {"Destination", "Bank"}});
        db().addStaff("Lower, Lily", {{"Department", "Admin"}, {"Status", "in"}});
        db().addStaff("Upper, Uma", {{"Department", "Admin"}, {"Status", "OUT"}});
        db().addStaff("Blank, Bea", {{"Department", "Admin"}, {"Status", QVariant()}});
        session->createWindows();
        const QString text = runToPdf(item);
        QVERIFY2(!text.isEmpty(), "no PDF written");
        QCOMPARE(windows->shown, (QStringList{"Output Options", "Report Status"}));
        QVERIFY(text.contains(title));
        for (const QString& n : present)
            QVERIFY2(text.contains(n), qPrintable(n + " missing in:\n" + text));
        for (const QString& n : absent)
            QVERIFY2(!text.contains(n), qPrintable(n + " listed in:\n" + text));
        QVERIFY(text.contains("Page 1 of 1"));
        QVERIFY(text.contains(QStringLiteral(": %1").arg(present.size())));
    }

    // The department report groups by department in the query's order, with counts.
    void departmentReportGroups() {
        db().addStaff("Zeta, Zed", {{"Department", "Admin"}});
        db().addStaff("Alpha, Al", {{"Department", "Sales"}});
        db().addStaff("Beta, Bo", {{"Department", "Admin"}});
        session->createWindows();
        const QString text = runToPdf("DepartmentView1");
        const int admin = text.indexOf("Department: Admin"), sales = text.indexOf("Department: Sales");
        QVERIFY2(admin >= 0 && sales > admin, qPrintable(text));
        QVERIFY(text.indexOf("Beta, Bo") > admin && text.indexOf("Zeta, Zed") > text.indexOf("Beta, Bo"));
        QVERIFY(text.indexOf("Alpha, Al") > sales);
        QVERIFY(text.contains("Employees in Admin: 2"));
        QVERIFY(text.contains("Employees in Sales: 1"));
        QVERIFY(text.contains("Employees listed: 3"));
    }

    // Each run reads the rows as they stand then, not as they stood at start-up.
    void changesAfterStartUpShowInTheNextRun() {
        db().addStaff("Early, Ed", {{"Status", "IN"}});
        session->createWindows();
        QVERIFY(!runToPdf("EmployeesOut1").contains("Early, Ed"));
        db().exec("UPDATE Staff SET Status = 'Out', Destination = 'Dentist' WHERE Name = 'Early, Ed'");
        db().addStaff("Late, Liz", {{"Status", "Out"}});
        const QString text = runToPdf("EmployeesOut1", "second.pdf");
        QVERIFY2(text.contains("Early, Ed") && text.contains("Dentist"), qPrintable(text));
        QVERIFY(text.contains("Late, Liz"));
        // The query is left open, as start-up opened it.
        QVERIFY(MainForm->query("Query5").Active());
    }

    // An employee's history comes in the order it was saved, also across noon and a year end.
    void historyInTheOrderSaved() {
        const QList<QStringList> saves = {
            {"Cole, Cy", "12/30/26", "9:40:00 AM", "Out"},  {"Cole, Cy", "12/30/26", "10:05:00 AM", "IN"},
            {"Abel, Ann", "12/31/26", "4:00:00 PM", "Out"}, {"Cole, Cy", "12/31/26", "1:15:00 PM", "Out"},
            {"Cole, Cy", "1/2/27", "8:00:00 AM", "IN"},
        };
        for (const QStringList& s : saves)
            db().insert("Staff_Log", {{"Name", s[0]},
                                      {"Transaction_Date", s[1]},
                                      {"Transaction_Time", s[2]},
                                      {"Status", s[3]},
                                      {"Department", "Sales"}});
        session->createWindows();
        const QString text = runToPdf("INOutHistory1");
        QStringList order;
        static const QRegularExpression line(
            QStringLiteral("^\\s*(\\d+/\\d+/\\d+)\\s+(\\d+:\\d+:\\d+ [AP]M)"));
        for (const QString& l : text.split(u'\n')) {
            const auto m = line.match(l);
            if (m.hasMatch()) order << m.captured(1) + u' ' + m.captured(2);
        }
        QCOMPARE(order, (QStringList{"12/31/26 4:00:00 PM", "12/30/26 9:40:00 AM", "12/30/26 10:05:00 AM",
                                     "12/31/26 1:15:00 PM", "1/2/27 8:00:00 AM"}));
        QVERIFY(text.indexOf("Abel, Ann") < text.indexOf("Cole, Cy"));
        QVERIFY(text.contains("Entries for Cole, Cy: 4"));
    }

    // A missing project is reported with the file it looked for; once the file is back, the
    // next command runs the report.
    void missingProjectThenPutBack() {
        db().addStaff("Inman, Ida", {{"Status", "IN"}});
        session->createWindows();
        QTemporaryDir folder;
        reports::setProjectFolder(folder.path());
        const QString path = folder.filePath("InOffice.rav");
        prompter().expect("The following reporting project does not exist:\n\"" + path + "\"",
                          controls::MsgDlgType::Error, controls::MsgButtons::OK, controls::ModalResult::OK);
        QVERIFY(runToPdf("EmployeesIN1").isEmpty());
        QVERIFY(windows->shown.isEmpty());
        QVERIFY(prompter().verifyAllAnswered());
        QVERIFY(!MainForm->project("RvProject4").isLoaded());
        reports::setProjectFolder({});
        QVERIFY(QFile::copy(reports::resolveProjectFile("C:\\Program Files\\Corvane\\InOffice.rav"), path));
        reports::setProjectFolder(folder.path());
        QVERIFY(runToPdf("EmployeesIN1").contains("Inman, Ida"));
        QVERIFY(MainForm->project("RvProject4").isLoaded());
        // Loaded once: the file may go again and the report still runs.
        QFile::remove(path);
        QVERIFY(runToPdf("EmployeesIN1", "again.pdf").contains("Inman, Ida"));
    }

    void connectionNotFoundOrDoubled_data() {
        QTest::addColumn<QString>("connection");
        QTest::addColumn<bool>("duplicate");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing")
            << "RvNoSuchConnection" << false
            << "Error!  Could not open data connection \"RvNoSuchConnection\".  Aborting report.";
        QTest::newRow("two of one name, other case")
            << "RvQueryConnection4" << true
            << "Error!  Duplicate data connections found with name \"RvQueryConnection4\".  Aborting report.";
    }
    void connectionNotFoundOrDoubled() {
        QFETCH(QString, connection);
        QFETCH(bool, duplicate);
        QFETCH(QString, message);
        session->createWindows();
        std::unique_ptr<reports::DataConnection> second;
        if (duplicate)
            second =
                std::make_unique<reports::DataConnection>("rvqueryconnection4", &MainForm->query("Query2"));
        reports::Project p("RvProjectTest");
        p.SetProjectFile(writeProject("t.rav", simpleProject(connection)));
        prompter().expect(message, controls::MsgDlgType::Error, controls::MsgButtons::OK,
                          controls::ModalResult::OK);
        controls::runGuarded([&] { p.Execute(); });
        QVERIFY(windows->shown.isEmpty());
    }

    // Names are found without regard to case.
    void connectionFoundWithoutRegardToCase() {
        db().addStaff("Inman, Ida", {{"Status", "IN"}});
        session->createWindows();
        reports::Project p("RvProjectTest");
        p.SetProjectFile(writeProject("t.rav", simpleProject("RVQUERYCONNECTION4")));
        windows->next.destination = Destination::File;
        windows->next.fileName = pdfPath();
        p.Execute();
        QVERIFY(reporttest::pdfText(pdfPath()).contains("Inman, Ida"));
    }

    // The connection gives a table back as it found it: open or closed, filter, current row.
    void connectionRestoresTheTable_data() {
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("filtered");
        QTest::addColumn<QStringList>("listed");
        const QStringList all = {"Adams, A", "Baker, B", "Clark, C", "Dunn, D"};
        QTest::newRow("closed") << false << "Department = 'Sales'" << false << all;
        QTest::newRow("open, no filter") << true << "" << false << all;
        QTest::newRow("open, filter off") << true << "Department = 'Sales'" << false << all;
        QTest::newRow("open, filter on")
            << true << "Department = 'Sales'" << true << QStringList{"Baker, B", "Dunn, D"};
    }
    void connectionRestoresTheTable() {
        QFETCH(bool, open);
        QFETCH(QString, filter);
        QFETCH(bool, filtered);
        QFETCH(QStringList, listed);
        db().addStaff("Adams, A", {{"Department", "Admin"}});
        db().addStaff("Baker, B", {{"Department", "Sales"}});
        db().addStaff("Clark, C", {{"Department", "Admin"}});
        db().addStaff("Dunn, D", {{"Department", "Sales"}});
        session->createWindows();
        data::Table table("Table1");
        table.SetDatabaseName("Corvane2003");
        table.SetTableName("Staff");
        table.SetIndexFieldNames("Name");
        table.SetFilter(filter);
        table.SetFiltered(filtered);
        data::RowKey key;
        if (open) {
            table.Open();
            table.Last();
            key = table.CurrentKey();
        }
        const QString current = open ? table.FieldByName("Name")->AsString() : QString();
        // The message reader of the running program bears RvDataSetConnection1 already.
        reports::DataConnection conn("RvTableConnection1", &table);
        reports::Project p("RvProject1");
        p.SetProjectFile(writeProject("t.rav", simpleProject("RvTableConnection1", "Name\nDepartment")));
        windows->next.destination = Destination::File;
        windows->next.fileName = pdfPath();
        p.Execute();
        const QString text = reporttest::pdfText(pdfPath());
        for (const char* n : {"Adams, A", "Baker, B", "Clark, C", "Dunn, D"})
            QCOMPARE(text.contains(n), listed.contains(n));
        QCOMPARE(table.Active(), open);
        QCOMPARE(table.Filter(), filter);
        QCOMPARE(table.Filtered(), filtered);
        QVERIFY(!table.ControlsDisabled());
        if (open) {
            QCOMPARE(table.CurrentKey(), key);
            QCOMPARE(table.FieldByName("Name")->AsString(), current);
        }
    }

    // A query keeps its current row across a run that reads it again.
    void connectionRestoresTheQueryRow() {
        for (const char* n : {"Adams, A", "Baker, B", "Clark, C"})
            db().addStaff(n);
        session->createWindows();
        data::Query& q = MainForm->query("Query2");
        q.Next();
        QCOMPARE(q.FieldByName("Name")->AsString(), QString("Baker, B"));
        QVERIFY(runToPdf("EmployeeView1").contains("Clark, C"));
        QVERIFY(q.Active());
        QCOMPARE(q.FieldByName("Name")->AsString(), QString("Baker, B"));
        QVERIFY(!q.ControlsDisabled());
    }

    // Cancel in "Report Status" stops the run: no file is left, the query is given back.
    void cancelInReportStatus_data() {
        QTest::addColumn<QString>("phase");
        QTest::newRow("while counting") << "Counting pages";
        QTest::newRow("while printing") << "Printing";
    }
    void cancelInReportStatus() {
        QFETCH(QString, phase);
        for (int i = 0; i < 150; ++i)
            db().addStaff(QStringLiteral("Person %1, P").arg(i, 3, 10, QChar('0')));
        session->createWindows();
        windows->cancelInPhase = phase;
        QVERIFY(runToPdf("EmployeeView1").isEmpty());
        QVERIFY(!QFile::exists(pdfPath()));
        QVERIFY(windows->progress.last().startsWith(phase));
        QVERIFY(MainForm->query("Query2").Active());
        QVERIFY(!MainForm->query("Query2").ControlsDisabled());
        // Without the Cancel the same report has several pages.
        windows->cancelInPhase.clear();
        const QString text = runToPdf("EmployeeView1");
        const auto last = QRegularExpression("Page (\\d+) of (\\d+)\\s*$").match(text.trimmed() + u'\n');
        QVERIFY2(last.hasMatch() && last.captured(1) == last.captured(2) && last.captured(2).toInt() >= 2,
                 qPrintable(text.right(400)));
        QVERIFY(text.contains("Person 149, P"));
    }

    // Cancel in "Output Options" runs nothing.
    void cancelInOutputOptions() {
        session->createWindows();
        windows->cancelOptions = true;
        QVERIFY(runToPdf("EmployeeView1").isEmpty());
        QCOMPARE(windows->shown, QStringList{"Output Options"});
    }

    // The preview shows the first page before the others are counted, then counts them all.
    void previewShowsThePages() {
        for (int i = 0; i < 80; ++i)
            db().addStaff(QStringLiteral("Person %1, P").arg(i, 3, 10, QChar('0')));
        session->createWindows();
        windows->next.destination = Destination::Preview;
        MainForm->menuItem("EmployeeView1")->trigger();
        QCOMPARE(windows->shown, (QStringList{"Output Options", "Report Status", "Report Preview"}));
        QVERIFY(!windows->previewCountedAtFirst);
        QVERIFY(windows->previewPages >= 2);
        // Something other than white was drawn, on the first page and on the last.
        for (const QImage* img : {&windows->previewFirstPage, &windows->previewLastPage}) {
            int inked = 0;
            for (int y = 0; y < img->height(); y += 4)
                for (int x = 0; x < img->width(); x += 4)
                    inked += img->pixel(x, y) != qRgb(255, 255, 255);
            QVERIFY(inked > 100);
        }
        QVERIFY(!MainForm->query("Query2").ControlsDisabled());
    }

    // A faulty project file is refused with a clear message before any window shows.
    void malformedProject_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fault");
        QTest::newRow("another kind of file") << "<xml/>\n"
                                              << "(line 1): the first line must read";
        QTest::newRow("unknown key") << "Quorvale report project 1\n[report]\ncolour = red\n"
                                     << "(line 3): unknown key \"colour\" in [report]";
        QTest::newRow("unknown section") << "Quorvale report project 1\n[pictures]\n"
                                         << "(line 2): unknown section [pictures]";
        QTest::newRow("bad width") << simpleProject("RvQueryConnection2", "Name | Name | wide")
                                   << "width must be a positive number, not \"wide\"";
        QTest::newRow("no columns")
            << "Quorvale report project 1\n[report]\nconnection = RvQueryConnection2\n"
            << "[columns] lists no column";
        QTest::newRow("unknown style") << "Quorvale report project 1\n[report]\nstyle = sideways\n"
                                       << "(line 3): unknown style \"sideways\" (table or block)";
        QTest::newRow("block cell too wide")
            << "Quorvale report project 1\n[report]\nconnection = RvQueryConnection2\nstyle = block\n"
               "[columns]\nName | Name | 120\n"
            << "a block cell is at most 100 wide (Name)";
        QTest::newRow("unknown field") << simpleProject("RvQueryConnection2", "Name\nShoe_Size")
                                       << "names the field \"Shoe_Size\", which the data connection "
                                          "\"RvQueryConnection2\" does not have";
    }
    void malformedProject() {
        QFETCH(QString, text);
        QFETCH(QString, fault);
        session->createWindows();
        reports::Project p("RvProjectTest");
        p.SetProjectFile(writeProject("bad.rav", text));
        prompter().expectMatching(QRegularExpression(".*" + QRegularExpression::escape(fault) + ".*",
                                                     QRegularExpression::DotMatchesEverythingOption),
                                  controls::MsgDlgType::Error, controls::MsgButtons::OK,
                                  controls::ModalResult::OK);
        controls::runGuarded([&] { p.Execute(); });
        QVERIFY(windows->shown.isEmpty());
        QVERIFY(MainForm->query("Query2").Active());
        QVERIFY(!MainForm->query("Query2").ControlsDisabled());
    }
};

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
