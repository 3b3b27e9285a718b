// Data sources and data links: the dataset tells its controls what changed, synchronously.
#include "datasource.h"
#include "dataset.h"

namespace data {

DataLink::~DataLink() { setDataSource(nullptr); }

void DataLink::setDataSource(DataSource* source) {
    if (source == source_) return;
    if (source_) source_->links_.removeAll(this);
    source_ = source;
    if (source_) source_->links_.append(this);
    activeChanged();
}

DataSet* DataLink::dataSet() const { return source_ ? source_->dataSet() : nullptr; }

DataSource::DataSource(QString name) : name_(std::move(name)) {}

DataSource::~DataSource() {
    if (dataSet_) dataSet_->detach(this);
    dataSet_ = nullptr;
    // Links that outlive their source are told, so that none keeps the dataset it showed
    // (which may go away next).
    const auto links = links_;
    links_.clear();
    for (DataLink* l : links)
        l->source_ = nullptr;
    for (DataLink* l : links)
        l->activeChanged();
}

void DataSource::setDataSet(DataSet* dataSet) {
    if (dataSet == dataSet_) return;
    if (dataSet_) dataSet_->detach(this);
    dataSet_ = dataSet;
    if (dataSet_) dataSet_->attach(this);
    notifyActiveChanged();
}

// The links are copied first: a notification may change who listens.
#define FOR_EACH_LINK(call)                                                                                  \
    do {                                                                                                     \
        const auto copy = links_;                                                                            \
        for (DataLink * l : copy)                                                                            \
            if (links_.contains(l)) l->call;                                                                 \
    } while (0)

void DataSource::notifyActiveChanged() { FOR_EACH_LINK(activeChanged()); }
void DataSource::notifyStateChanged() { FOR_EACH_LINK(stateChanged()); }
void DataSource::notifyRecordChanged(Field* field) { FOR_EACH_LINK(recordChanged(field)); }
void DataSource::notifyScrolled() { FOR_EACH_LINK(dataSetScrolled()); }
void DataSource::notifyDataSetChanged() { FOR_EACH_LINK(dataSetChanged()); }
void DataSource::notifyUpdateData() { FOR_EACH_LINK(updateData()); }
void DataSource::notifyFocusControl(Field* field) { FOR_EACH_LINK(focusControl(field)); }

#undef FOR_EACH_LINK

} // namespace data
