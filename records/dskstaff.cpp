#include "records/dskstaff.h"

TDSKSTAFF* DSKSTAFF = nullptr;

TDSKSTAFF::TDSKSTAFF(QWidget* parent) : controls::Form(QStringLiteral("DSKSTAFF"), parent) {
    // Reachable through its instance from the moment its creation begins.
    DSKSTAFF = this;
    try {
        load();
    } catch (...) {
        DSKSTAFF = nullptr;
        throw;
    }
}

TDSKSTAFF::~TDSKSTAFF() {
    if (DSKSTAFF == this) DSKSTAFF = nullptr;
}
