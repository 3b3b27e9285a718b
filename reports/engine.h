#pragma once
// Runs one report: lays its rows out on pages as they stream from the connection and draws
// the pages asked for. Only a few hundred rows and where some pages start are held, however
// many rows the report has.
#include "reports/layout.h"
#include "reports/reportwindows.h"

namespace reports {

class DataConnection;

// Runs a loaded project: finds its connection by name (a missing or doubled name is shown
// in an error box and the report stops), asks "Output Options", counts the pages under
// "Report Status", then writes them to the printer or a PDF file, or shows the preview on the
// first page while the rest are counted. The connection's dataset is put back afterwards,
// also when the run fails or is cancelled.
void executeReport(const ReportLayout& layout);

} // namespace reports
