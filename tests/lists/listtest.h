#pragma once
// What the list window tests share: the common ways of driving the real controls.
#include "controls/db/dbcontrols.h"
#include "controls/form.h"
#include "tests/support/testinput.h"
#include <QTest>
#include <QToolButton>

namespace liststest {

using testsupport::key;
using testsupport::press;
using testsupport::showActive;
using testsupport::type;

} // namespace liststest
