#pragma once
// The printer set-up command: the platform's printer dialog over the program's current
// printer. OK makes the chosen printer and its settings current for the rest of the run;
// Cancel changes nothing. Nothing is stored.
#include <QString>
#include <functional>

class QPrinter;

namespace controls {

// The program's current printer (at first the system's default printer).
QPrinter& currentPrinter();

// The dialog itself, replaceable for tests: edits the printer in place and returns true on OK
// (on false the printer must be left as it was).
using PrinterDialogRunner = std::function<bool(QPrinter& printer)>;
void setPrinterDialogRunner(PrinterDialogRunner runner); // empty: back to the platform dialog

class PrinterSetupDialog {
public:
    explicit PrinterSetupDialog(QString name = {}) : name_(std::move(name)) {}
    const QString& name() const { return name_; }
    bool Execute(); // true when the user chose OK

private:
    QString name_;
};

} // namespace controls
