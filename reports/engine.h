#pragma once
// Runs one report: lays its rows out on pages as they stream from the connection and draws
// the pages asked for. Only a few hundred rows and, per page, where it starts are held.
#include "reports/layout.h"
#include "reports/reportwindows.h"
#include <memory>

namespace reports {

class DataConnection;

// Runs a loaded project: finds its connection by name (a missing or doubled name is shown
// in an error box and the report stops), asks "Output Options", counts the pages under
// "Report Status", then writes them to the printer or a PDF file or shows the preview. The
// connection's dataset is put back afterwards, also when the run fails or is cancelled.
void executeReport(const ReportLayout& layout);

// The laid-out report over an open connection, its pages counted (for the bench).
std::unique_ptr<ReportDocument> makeDocument(const ReportLayout& layout, DataConnection& connection);

} // namespace reports
