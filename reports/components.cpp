#include "reports/components.h"
#include "controls/dataobjectclasses.h"
#include "reports/connection.h"
#include "reports/project.h"

namespace reports {

namespace {

void createProject(const controls::StoredObject& o, controls::DataObjectSink& sink) {
    o.checkKeys({"projectFile"});
    auto p = std::make_unique<Project>(o.name());
    p->SetProjectFile(o.string("projectFile"));
    sink.addComponent(std::make_unique<controls::ComponentOf<Project>>(std::move(p)));
}

void createConnection(const controls::StoredObject& o, controls::DataObjectSink& sink) {
    o.checkKeys({"dataSet"});
    const QString name = o.name();
    // Made once its dataset exists, which the file may hold after it.
    sink.linkDataSet(QStringLiteral("report connection ") + name, o.string("dataSet"),
                     [name, &sink](data::DataSet& ds) {
                         sink.addComponent(std::make_unique<controls::ComponentOf<DataConnection>>(
                             std::make_unique<DataConnection>(name, &ds)));
                     });
}

} // namespace

void registerComponentClasses() {
    controls::registerDataObjectClass(QStringLiteral("RvProject"), createProject);
    controls::registerDataObjectClass(QStringLiteral("RvQueryConnection"), createConnection);
    controls::registerDataObjectClass(QStringLiteral("RvDataSetConnection"), createConnection);
}

} // namespace reports
