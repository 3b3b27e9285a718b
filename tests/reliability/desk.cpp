// A desk of its own process for the reliability tests, on the alias "Corvane2003" of the
// environment it inherits:
//   reliability_desk open                 opens Staff, prints "opened" or the error, and ends
//                                         without closing the database
//   reliability_desk saves                check-out saves in a loop until it is killed
//   reliability_desk count NAME ROUNDS    adds one to NAME's counter (Address2) ROUNDS times;
//                                         prints "saves=.. conflicts=.. kept=.. busy=.."
#include "data/database.h"
#include "data/table.h"
#include "locator/locator_schema.h"
#include "records/staff_schema.h"
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QThread>
#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<data::Table> table(const QString& component, const data::TableDef& def,
                                   const QString& order) {
    auto t = std::make_unique<data::Table>(component);
    t->SetDatabaseName("Corvane2003");
    t->SetTableName(def.name);
    for (data::FieldDef f : def.fields) {
        f.name = component + QString(f.fieldName).remove(' ');
        t->addFieldDef(f);
    }
    t->SetIndexFieldNames(order);
    t->Open();
    return t;
}

void say(const QString& line) {
    std::fputs(qPrintable(line + '\n'), stdout);
    std::fflush(stdout);
}

// The check-out window's Save: the employee's row and its history row in one transaction.
void saveLoop() {
    auto staff = table("StaffTable", records::staffTable(), "Name");
    auto log = table("Table1", locator::staffLogTable(), "Name");
    const qint64 pid = QCoreApplication::applicationPid();
    for (qint64 round = 0;; ++round) {
        staff->First();
        const int skip = int(QRandomGenerator::global()->bounded(4));
        for (int i = 0; i < skip && !staff->Eof(); ++i)
            staff->Next();
        if (staff->Eof()) staff->Last();
        try {
            staff->Edit();
            staff->FieldByName("Destination")->SetAsString(QString("T%1-%2").arg(pid).arg(round));
            staff->FieldByName("Time_Left")->SetAsString(QString::number(round % 24) + ":00");
            staff->FieldByName("Status")->SetAsString("Out");
            data::Transaction transaction(data::Database::forAlias("Corvane2003"));
            staff->Post();
            staff->Refresh();
            log->Insert();
            log->FieldByName("Transaction_Date")->SetAsString("3/11/26");
            log->FieldByName("Transaction_Time")->SetAsString(QString::number(round));
            for (const char* f : {"Name", "Department", "Destination", "Time_Left", "Status"})
                log->FieldByName(f)->SetAsString(staff->FieldByName(f)->AsString());
            log->Post();
            transaction.Commit();
        } catch (const data::Exception&) {
            // another desk's lock: the save is dropped, as the window's Cancel would
            if (staff->State() != data::DataSetState::Browse) staff->Cancel();
            if (log->State() != data::DataSetState::Browse) log->Cancel();
        }
    }
}

void countLoop(const QString& name, int rounds) {
    auto staff = table("StaffTable", records::staffTable(), "Name");
    int saves = 0, conflicts = 0, kept = 0, busy = 0;
    while (saves < rounds) {
        if (!staff->Locate("Name", name)) {
            say("no row " + name);
            return;
        }
        staff->Edit();
        const QString mine = QString::number(staff->FieldByName("Address2")->AsString().toInt() + 1);
        staff->FieldByName("Address2")->SetAsString(mine);
        try {
            staff->Post();
            ++saves;
        } catch (const data::DatabaseError& e) {
            if (e.kind() == data::ErrorKind::Busy) {
                ++busy;
            } else if (e.kind() == data::ErrorKind::Conflict) {
                ++conflicts;
                // the refused edit stays pending with what was typed
                if (staff->State() == data::DataSetState::Edit &&
                    staff->FieldByName("Address2")->AsString() == mine)
                    ++kept;
            } else {
                say("error " + e.message());
                return;
            }
            staff->Cancel();
            staff->Refresh();
        }
    }
    say(QString("saves=%1 conflicts=%2 kept=%3 busy=%4").arg(saves).arg(conflicts).arg(kept).arg(busy));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString mode = args.value(0);
    try {
        if (mode == "open") {
            auto staff = table("StaffTable", records::staffTable(), "Name");
            staff->First();
            say("opened");
            return 0; // the database stays open: it closes with the program
        }
        if (mode == "saves") {
            saveLoop();
            return 0;
        }
        if (mode == "count" && args.size() == 3) {
            countLoop(args[1], args[2].toInt());
            data::Database::closeAll();
            return 0;
        }
    } catch (const data::Exception& e) {
        say(e.message());
        return 0;
    }
    std::fputs("usage: reliability_desk open | saves | count NAME ROUNDS\n", stderr);
    return 2;
}
