#pragma once
// A stand-in for a data-aware control: records how the loader bound it.
#include "controls/formobjects.h"
#include "controls/widgetfactory.h"
#include "data/dataset.h"
#include "data/datasource.h"
#include <QJsonArray>
#include <QVariant>
#include <QWidget>

class ProbeAware : public QWidget, public controls::DataAware {
    Q_OBJECT
public:
    using QWidget::QWidget;
    void bindData(const controls::FormObjects& objects) override {
        ++binds;
        source = objects.findDataSource(property("dataSource").toString());
        activeAtBind = source && source->dataSet() && source->dataSet()->Active();
        columnsAtBind = property("columns").toJsonArray();
    }
    int binds = 0;
    data::DataSource* source = nullptr;
    bool activeAtBind = false;
    QJsonArray columnsAtBind;
};

inline void registerProbe() {
    controls::registerWidgetClass("ProbeAware", [](QWidget* parent) { return new ProbeAware(parent); });
}
