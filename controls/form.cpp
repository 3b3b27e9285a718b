#include "controls/form.h"
#include "controls/application.h"
#include "controls/plaincontrols.h"
#include "controls/printersetup.h"
#include "data/datasource.h"
#include "data/query.h"
#include "data/table.h"
#include <QMenuBar>

namespace controls {

Form::Form(const QString& layoutName, QWidget* parent) : QDialog(parent), layoutName_(layoutName) {
    setObjectName(layoutName);
    setWindowModality(Qt::ApplicationModal);
    setSizeGripEnabled(false);
    registerWindow();
}

Form::~Form() {
    unregisterWindow();
    destroying_ = true;
    // No handler may run once the subclass is gone: drop the signal bindings first.
    unbindHandlers();
    // Controls first (their data links leave the data sources), then the components (report
    // connections point at datasets), then the data sources, then the datasets, which close
    // without events and without posting.
    const auto widgets = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* w : widgets)
        delete w;
    content_ = nullptr;
    menuBar_ = nullptr;
    while (!components_.empty())
        components_.pop_back();
    dataSources_.clear();
    dataSets_.clear();
}

void Form::fault(const QString& message) const {
    throw LayoutError(layoutName_ + QStringLiteral(": ") + message);
}

void Form::missing(const char* what, const QString& name) const {
    fault(QStringLiteral("no %1 named '%2'").arg(QLatin1String(what), name));
}

void Form::load() {
    if (loaded_) fault(QStringLiteral("layout loaded twice"));
    registerPlainControls();
    loadUi();
    loadDataObjects();
    bindWidgetHandlers();
    Handler onCreate;
    const QString createName = property("onCreate").toString();
    if (!createName.isEmpty()) onCreate = resolve(createName, QStringLiteral("onCreate"));
    const QString activateName = property("onActivate").toString();
    if (!activateName.isEmpty()) resolve(activateName, QStringLiteral("onActivate"));

    const auto widgets = findChildren<QWidget*>();
    for (QWidget* w : widgets)
        if (auto* aware = dynamic_cast<DataAware*>(w)) aware->bindData(*this);
    prepareButtons();
    placeWindow();

    // Active datasets open in file order; a failure ends the loading (and start-up).
    for (data::DataSet* ds : activeOrder_)
        ds->Open();

    loaded_ = true;
    if (onCreate) runGuarded(onCreate);
}

data::DataSet* Form::findDataSet(const QString& name) const {
    for (const auto& ds : dataSets_)
        if (ds->name() == name) return ds.get();
    return nullptr;
}

data::DataSource* Form::findDataSource(const QString& name) const {
    for (const auto& s : dataSources_)
        if (s->name() == name) return s.get();
    return nullptr;
}

data::Table& Form::table(const QString& name) const {
    auto* t = dynamic_cast<data::Table*>(findDataSet(name));
    if (!t) missing("table", name);
    return *t;
}

data::Query& Form::query(const QString& name) const {
    auto* q = dynamic_cast<data::Query*>(findDataSet(name));
    if (!q) missing("query", name);
    return *q;
}

data::DataSet& Form::dataSet(const QString& name) const {
    auto* ds = findDataSet(name);
    if (!ds) missing("dataset", name);
    return *ds;
}

data::DataSource& Form::dataSource(const QString& name) const {
    auto* s = findDataSource(name);
    if (!s) missing("data source", name);
    return *s;
}

data::Field& Form::field(const QString& componentName) const {
    for (const auto& ds : dataSets_)
        if (data::Field* f = ds->fieldByComponentName(componentName)) return *f;
    missing("field", componentName);
}

PrinterSetupDialog& Form::printerSetupDialog(const QString& name) const {
    for (const auto& d : printerDialogs_)
        if (d->name() == name) return *d;
    missing("printer set-up dialog", name);
}

QAction* Form::menuItem(const QString& name) const {
    QAction* a = menuBar_ ? menuBar_->findChild<QAction*>(name) : nullptr;
    if (!a) missing("menu item", name);
    return a;
}

} // namespace controls
