#pragma once
// The locator screen and the four boards on a fresh database, created in the program's
// order (screen, alphabetical, department, in office, out of office), with scripted
// questions and windows that do not block.
#include "controls/db/dbcontrols.h"
#include "controls/form.h"
#include "tests/support/testdb.h"
#include "tests/support/testinput.h"
#include "tests/support/testui.h"
#include <QStringList>
#include <memory>

namespace boardtest {

class Desk {
public:
    Desk();
    ~Desk(); // the windows (last made first), then the database

    testsupport::TestDatabase& db() { return *db_; }
    testsupport::UiTestEnv& env() { return *env_; }
    testsupport::ScriptedPrompter& prompter() { return env_->prompter(); }

    // Creates the five windows; their active tables open now, so add rows first.
    void createWindows();

private:
    std::unique_ptr<testsupport::TestDatabase> db_;
    std::unique_ptr<testsupport::UiTestEnv> env_;
    QList<controls::Form*> windows_;
};

// Shows a window as the program does and makes it the active one, so focus is real.
inline void show(controls::Form* form) { testsupport::showActive(*form); }
using testsupport::click;
using testsupport::key;
using testsupport::type;

// What a grid shows.
QStringList titles(const controls::DBGrid* grid);
QStringList column(const controls::DBGrid* grid, const QString& title);
QString currentCell(const controls::DBGrid* grid, const QString& title);
int columnOf(const controls::DBGrid* grid, const QString& title);

} // namespace boardtest
