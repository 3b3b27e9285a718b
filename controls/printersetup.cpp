#include "controls/printersetup.h"
#include <QPrintDialog>
#include <QPrinter>

namespace controls {

namespace {
PrinterDialogRunner& runner() {
    static PrinterDialogRunner r;
    return r;
}

bool platformDialog(QPrinter& printer) {
    // The dialog works on a copy of the settings, so Cancel leaves the printer untouched.
    QPrinter chosen(QPrinter::HighResolution);
    chosen.setPrinterName(printer.printerName());
    chosen.setPageLayout(printer.pageLayout());
    chosen.setCopyCount(printer.copyCount());
    QPrintDialog dialog(&chosen);
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted) return false;
    printer.setPrinterName(chosen.printerName());
    printer.setPageLayout(chosen.pageLayout());
    printer.setCopyCount(chosen.copyCount());
    printer.setOutputFileName(chosen.outputFileName());
    printer.setDuplex(chosen.duplex());
    printer.setColorMode(chosen.colorMode());
    return true;
}
} // namespace

QPrinter& currentPrinter() {
    // Kept for the whole run and never destroyed: it must not outlive the application object
    // in a static destructor.
    static QPrinter* printer = new QPrinter(QPrinter::HighResolution);
    return *printer;
}

void setPrinterDialogRunner(PrinterDialogRunner r) { runner() = std::move(r); }

bool PrinterSetupDialog::Execute() {
    if (runner()) return runner()(currentPrinter());
    return platformDialog(currentPrinter());
}

} // namespace controls
