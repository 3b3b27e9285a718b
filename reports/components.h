#pragma once
// The report engine's components as data objects of a window's stored data file:
// "RvProject" (its "projectFile") and "RvQueryConnection" and "RvDataSetConnection" (the
// window's dataset they hand to the reports, "dataSet").
namespace reports {

void registerComponentClasses();

} // namespace reports
