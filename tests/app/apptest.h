#pragma once
// The program's windows on a fresh database, with scripted questions and windows that do not
// block. The windows are made by the program's own start-up code and destroyed with the fixture.
#include "tests/support/testdb.h"
#include "tests/support/testui.h"
#include <QString>
#include <QStringList>
#include <memory>

namespace controls {
class Form;
}

namespace apptest {

// The nineteen windows in their order of creation.
const QStringList& windowNames();

// The global instance of a window by its name (nullptr when it does not exist).
controls::Form* instance(const QString& name);

// Every window's instance, in the order of creation, as "Name" or "Name=null".
QStringList instancesState();

class Session {
public:
    explicit Session(bool sample = true);
    ~Session(); // the windows go first, then the database
    testsupport::TestDatabase& db() { return *db_; }
    testsupport::UiTestEnv& env() { return *env_; }
    // The program's start-up up to the message loop: identity, the nineteen windows.
    void createWindows();

private:
    std::unique_ptr<testsupport::TestDatabase> db_;
    std::unique_ptr<testsupport::UiTestEnv> env_;
};

} // namespace apptest
