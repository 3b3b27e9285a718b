#include "controls/form.h"
#include "controls/application.h"
#include "controls/menu.h"
#include "controls/plaincontrols.h"
#include "controls/printersetup.h"
#include "controls/widgetfactory.h"
#include "controls/windowshower.h"
#include "data/datasource.h"
#include "data/query.h"
#include "data/table.h"
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMetaMethod>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QUiLoader>
#include <QVBoxLayout>
#include <QWindow>
#include <QXmlStreamReader>

namespace controls {

// ------------------------------------------------------------------ window shower

namespace {

class DefaultShower : public WindowShower {
public:
    ModalResult showModal(Form& form) override {
        // The window the user came from takes the keyboard again when this one closes, as on
        // the desktop; some window managers (or none) leave no window active otherwise.
        QPointer<QWidget> owner = QApplication::activeModalWidget();
        if (!owner) owner = QApplication::activeWindow();
        form.beginShowing();
        const ModalResult result = form.runModalLoop();
        if (owner && owner->isVisible()) owner->activateWindow();
        return result;
    }
};

std::shared_ptr<WindowShower>& currentShower() {
    static std::shared_ptr<WindowShower> s;
    return s;
}

} // namespace

WindowShower& windowShower() {
    auto& s = currentShower();
    if (!s) s = std::make_shared<DefaultShower>();
    return *s;
}

void setWindowShower(std::shared_ptr<WindowShower> shower) { currentShower() = std::move(shower); }

// ------------------------------------------------------------------ helpers

namespace {

// Receives a widget's signal (of any signature) and runs a handler, guarded.
class HandlerSlot : public QObject {
    Q_OBJECT
public:
    HandlerSlot(Form::Handler h, QObject* parent) : QObject(parent), handler_(std::move(h)) {}
public slots:
    void fire() { runGuarded(handler_); }

private:
    Form::Handler handler_;
};

// Creates our classes first; the top level of the stored dialog becomes a plain widget inside
// the Form instead of a window of its own.
class LayoutLoader : public QUiLoader {
public:
    explicit LayoutLoader(QWidget* form) : form_(form) {}

    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override {
        if (!top_ && parent == form_) {
            top_ = new QWidget(parent);
            top_->setObjectName(name);
            return top_;
        }
        QWidget* w = createRegisteredWidget(className, parent);
        if (!w && knownQtClasses().contains(className)) w = QUiLoader::createWidget(className, parent, name);
        if (!w) {
            errors << QStringLiteral("unknown control class '%1' of %2").arg(className, name);
            w = new QWidget(parent);
        }
        w->setObjectName(name);
        return w;
    }

    QStringList errors;

private:
    const QSet<QString>& knownQtClasses() {
        static const QSet<QString> known = [this] {
            const QStringList list = availableWidgets();
            return QSet<QString>(list.begin(), list.end());
        }();
        return known;
    }

    QWidget* form_;
    QWidget* top_ = nullptr;
};

// The stored place and size of the top level: the loader applies only its size.
QRect topLevelGeometry(const QByteArray& ui) {
    QXmlStreamReader xml(ui);
    int widgetDepth = 0;
    bool inGeometry = false;
    QString element;
    QRect r;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("widget")) {
                if (++widgetDepth > 1) break;
            } else if (widgetDepth == 1 && xml.name() == QLatin1String("property") &&
                       xml.attributes().value(QLatin1String("name")) == QLatin1String("geometry")) {
                inGeometry = true;
            } else if (inGeometry) {
                element = xml.name().toString();
            }
        } else if (xml.isEndElement()) {
            if (inGeometry && xml.name() == QLatin1String("property")) break;
            element.clear();
        } else if (xml.isCharacters() && inGeometry && !xml.isWhitespace()) {
            const int v = xml.text().toInt();
            if (element == QLatin1String("x"))
                r.moveLeft(v);
            else if (element == QLatin1String("y"))
                r.moveTop(v);
            else if (element == QLatin1String("width"))
                r.setWidth(v);
            else if (element == QLatin1String("height"))
                r.setHeight(v);
        }
    }
    return r;
}

const QHash<QString, data::DataSetEvent>& eventNames() {
    using E = data::DataSetEvent;
    static const QHash<QString, E> names = {
        {"BeforeOpen", E::BeforeOpen},     {"AfterOpen", E::AfterOpen},       {"BeforeClose", E::BeforeClose},
        {"AfterClose", E::AfterClose},     {"BeforeInsert", E::BeforeInsert}, {"AfterInsert", E::AfterInsert},
        {"BeforeEdit", E::BeforeEdit},     {"AfterEdit", E::AfterEdit},       {"BeforePost", E::BeforePost},
        {"AfterPost", E::AfterPost},       {"BeforeCancel", E::BeforeCancel}, {"AfterCancel", E::AfterCancel},
        {"BeforeDelete", E::BeforeDelete}, {"AfterDelete", E::AfterDelete},   {"AfterScroll", E::AfterScroll},
        {"AfterRefresh", E::AfterRefresh}};
    return names;
}

const QHash<QString, data::FieldType>& fieldTypes() {
    using T = data::FieldType;
    static const QHash<QString, T> types = {{"String", T::String},     {"Integer", T::Integer},
                                            {"AutoInc", T::AutoInc},   {"Float", T::Float},
                                            {"DateTime", T::DateTime}, {"Memo", T::Memo}};
    return types;
}

QMetaMethod findSignal(const QObject* o, std::initializer_list<const char*> signatures) {
    const QMetaObject* mo = o->metaObject();
    for (const char* sig : signatures) {
        const int i = mo->indexOfSignal(sig);
        if (i >= 0) return mo->method(i);
    }
    return {};
}

bool isDynamicallyTrue(const QObject* o, const char* name) { return o->property(name).toBool(); }

} // namespace

// ------------------------------------------------------------------ Form

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
    const auto bindings = findChildren<HandlerSlot*>(Qt::FindDirectChildrenOnly);
    for (HandlerSlot* s : bindings)
        delete s;
    handlers_.clear();
    // Controls first (their data links leave the data sources), then the data sources, then
    // the datasets, which close without events and without posting.
    const auto widgets = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* w : widgets)
        delete w;
    content_ = nullptr;
    menuBar_ = nullptr;
    dataSources_.clear();
    dataSets_.clear();
}

void Form::bind(const QString& handlerName, Handler handler) {
    handlers_.insert(handlerName, std::move(handler));
}

Form::Handler Form::handler(const QString& handlerName) const {
    auto it = handlers_.constFind(handlerName);
    if (it == handlers_.constEnd()) fault(QStringLiteral("handler '%1' is not defined").arg(handlerName));
    return *it;
}

Form::Handler Form::resolve(const QString& handlerName, const QString& where) const {
    auto it = handlers_.constFind(handlerName);
    if (it == handlers_.constEnd())
        fault(QStringLiteral("handler '%1' of %2 is not defined").arg(handlerName, where));
    return *it;
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

void Form::loadUi() {
    const QString path = QStringLiteral(":/layouts/%1.ui").arg(layoutName_);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) fault(QStringLiteral("layout '%1' not found").arg(path));
    const QByteArray bytes = file.readAll();
    storedGeometry_ = topLevelGeometry(bytes);

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    LayoutLoader loader(this);
    QWidget* top = loader.load(&buffer, this);
    if (!top) fault(QStringLiteral("layout '%1' cannot be read: %2").arg(path, loader.errorString()));
    if (!loader.errors.isEmpty()) {
        delete top;
        fault(loader.errors.join(QStringLiteral("; ")));
    }
    content_ = top;
    for (const Image* image : top->findChildren<Image*>())
        if (!image->picture().isEmpty() && image->pixmap().isNull())
            fault(QStringLiteral("picture '%1' of %2 cannot be read")
                      .arg(image->picture(), image->objectName()));

    // The stored dialog's window properties belong to the Form.
    setWindowTitle(top->windowTitle());
    if (top->testAttribute(Qt::WA_SetPalette)) setPalette(top->palette());
    if (top->testAttribute(Qt::WA_SetFont)) setFont(top->font());
    if (!top->styleSheet().isEmpty()) {
        setStyleSheet(top->styleSheet());
        top->setStyleSheet({});
    }
    if (top->testAttribute(Qt::WA_SetWindowIcon)) setWindowIcon(top->windowIcon());
    for (const QByteArray& name : top->dynamicPropertyNames())
        if (!name.startsWith("_q_")) setProperty(name.constData(), top->property(name.constData()));
    if (!storedGeometry_.isValid()) storedGeometry_ = QRect(QPoint(0, 0), top->size());
    clientSize_ = property("clientSize").toBool();
    centred_ = property("position").toString() == QLatin1String("screenCenter");

    Qt::WindowFlags flags =
        Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (property("borderStyle").toString() != QLatin1String("dialog")) flags |= Qt::WindowMinMaxButtonsHint;
    setWindowFlags(flags);

    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    // The stored size rules; the window may be made smaller than its content, as designed.
    lay->setSizeConstraint(QLayout::SetNoConstraint);
    lay->addWidget(content_);
}

void Form::loadDataObjects() {
    const QString path = QStringLiteral(":/layouts/%1.json").arg(layoutName_);
    QFile file(path);
    if (!file.exists()) return; // a window without data objects
    if (!file.open(QIODevice::ReadOnly)) fault(QStringLiteral("data file '%1' cannot be read").arg(path));
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        fault(QStringLiteral("data file '%1' is not valid JSON: %2 at offset %3")
                  .arg(path, err.errorString())
                  .arg(err.offset));
    const QJsonObject root = doc.object();

    auto checkKeys = [this](const QJsonObject& o, const QString& where,
                            std::initializer_list<const char*> allowed) {
        for (auto it = o.begin(); it != o.end(); ++it) {
            bool ok = it.key() == QLatin1String("comment");
            for (const char* a : allowed)
                ok = ok || it.key() == QLatin1String(a);
            if (!ok) fault(QStringLiteral("unknown key '%1' in %2").arg(it.key(), where));
        }
    };
    checkKeys(root, QStringLiteral("the data file"), {"objects", "grids", "menu", "printerSetupDialogs"});

    QSet<QString> names;
    struct PendingSource {
        data::DataSource* source;
        QString dataSet;
    };
    std::vector<PendingSource> pending;
    for (const auto& v : root.value(QLatin1String("objects")).toArray()) {
        const QJsonObject o = v.toObject();
        const QString cls = o.value(QLatin1String("class")).toString();
        const QString name = o.value(QLatin1String("name")).toString();
        if (name.isEmpty()) fault(QStringLiteral("a data object of class '%1' has no name").arg(cls));
        if (names.contains(name)) fault(QStringLiteral("two data objects named '%1'").arg(name));
        names.insert(name);

        if (cls == QLatin1String("DataSource")) {
            checkKeys(o, name, {"class", "name", "dataSet", "autoEdit"});
            auto src = std::make_unique<data::DataSource>(name);
            src->SetAutoEdit(o.value(QLatin1String("autoEdit")).toBool(true));
            pending.push_back({src.get(), o.value(QLatin1String("dataSet")).toString()});
            dataSources_.push_back(std::move(src));
            continue;
        }

        std::unique_ptr<data::DataSet> ds;
        if (cls == QLatin1String("Table")) {
            checkKeys(o, name,
                      {"class", "name", "database", "table", "indexName", "indexFieldNames", "filter",
                       "filtered", "autoRefresh", "active", "events", "fields"});
            auto t = std::make_unique<data::Table>(name);
            t->SetTableName(o.value(QLatin1String("table")).toString());
            if (o.contains(QLatin1String("indexName")))
                t->SetIndexName(o.value(QLatin1String("indexName")).toString());
            if (o.contains(QLatin1String("indexFieldNames")))
                t->SetIndexFieldNames(o.value(QLatin1String("indexFieldNames")).toString());
            t->SetFilter(o.value(QLatin1String("filter")).toString());
            t->SetFiltered(o.value(QLatin1String("filtered")).toBool());
            t->SetAutoRefresh(o.value(QLatin1String("autoRefresh")).toBool());
            ds = std::move(t);
        } else if (cls == QLatin1String("Query")) {
            checkKeys(o, name, {"class", "name", "database", "sql", "active", "events", "fields"});
            auto q = std::make_unique<data::Query>(name);
            const QJsonValue sql = o.value(QLatin1String("sql"));
            QStringList lines;
            if (sql.isArray())
                for (const auto& line : sql.toArray())
                    lines << line.toString();
            else
                lines = sql.toString().split(u'\n');
            q->SetSQL(lines);
            ds = std::move(q);
        } else {
            fault(QStringLiteral("unknown data object class '%1' of %2").arg(cls, name));
        }
        ds->SetDatabaseName(o.value(QLatin1String("database")).toString());

        for (const auto& fv : o.value(QLatin1String("fields")).toArray()) {
            const QJsonObject f = fv.toObject();
            checkKeys(f, name + QStringLiteral(" fields"),
                      {"name", "field", "type", "size", "mask", "required", "displayWidth", "readOnly"});
            data::FieldDef def;
            def.name = f.value(QLatin1String("name")).toString();
            def.fieldName = f.value(QLatin1String("field")).toString();
            const QString type = f.value(QLatin1String("type")).toString(QStringLiteral("String"));
            if (!fieldTypes().contains(type))
                fault(QStringLiteral("unknown field type '%1' of %2").arg(type, def.name));
            def.type = fieldTypes().value(type);
            if (f.contains(QLatin1String("size"))) def.size = f.value(QLatin1String("size")).toInt();
            def.editMask = f.value(QLatin1String("mask")).toString();
            def.required = f.value(QLatin1String("required")).toBool();
            def.displayWidth = f.value(QLatin1String("displayWidth")).toInt();
            def.readOnly = f.value(QLatin1String("readOnly")).toBool();
            ds->addFieldDef(def);
        }

        const QJsonObject events = o.value(QLatin1String("events")).toObject();
        for (auto it = events.begin(); it != events.end(); ++it) {
            if (!eventNames().contains(it.key()))
                fault(QStringLiteral("unknown event '%1' of %2").arg(it.key(), name));
            // Called directly: an exception goes to the operation that raised the event.
            Handler h = resolve(it.value().toString(), name + u'.' + it.key());
            ds->setEvent(eventNames().value(it.key()), [this, h](data::DataSet&) {
                if (!destroying_) h();
            });
        }
        if (o.value(QLatin1String("active")).toBool()) activeOrder_.push_back(ds.get());
        dataSets_.push_back(std::move(ds));
    }

    for (const PendingSource& p : pending) {
        if (p.dataSet.isEmpty()) continue;
        data::DataSet* ds = findDataSet(p.dataSet);
        if (!ds)
            fault(QStringLiteral("data source %1 names no dataset '%2'").arg(p.source->name(), p.dataSet));
        p.source->setDataSet(ds);
    }

    const QJsonObject grids = root.value(QLatin1String("grids")).toObject();
    for (auto it = grids.begin(); it != grids.end(); ++it) {
        QWidget* grid = findChild<QWidget*>(it.key());
        if (!grid) missing("grid", it.key());
        grid->setProperty("columns", it.value().toArray());
    }

    if (root.contains(QLatin1String("menu"))) {
        menuBar_ = buildMenuBar(root.value(QLatin1String("menu")).toObject(), this,
                                [this](const QString& h, const QString& where) { return resolve(h, where); });
        layout()->setMenuBar(menuBar_);
    }

    for (const auto& v : root.value(QLatin1String("printerSetupDialogs")).toArray())
        printerDialogs_.push_back(std::make_unique<PrinterSetupDialog>(v.toString()));
}

void Form::bindWidgetHandlers() {
    const auto widgets = content_->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        auto* bitBtn = qobject_cast<BitBtn*>(w);
        if (bitBtn && bitBtn->isCloseKind()) {
            // A close button closes its window and runs no handler of the window.
            if (bitBtn->text().isEmpty()) bitBtn->setText(QStringLiteral("&Close"));
            connect(bitBtn, &QAbstractButton::clicked, this, &Form::Close);
        } else if (const QString name = w->property("onClick").toString(); !name.isEmpty()) {
            Handler h = resolve(name, w->objectName() + QStringLiteral(".onClick"));
            const QMetaMethod signal = findSignal(w, {"clicked()", "clicked(bool)"});
            if (!signal.isValid())
                fault(QStringLiteral("%1 has no clicked signal for onClick").arg(w->objectName()));
            auto* slot = new HandlerSlot(h, this);
            connect(w, signal, slot, slot->metaObject()->method(slot->metaObject()->indexOfSlot("fire()")));
        }
        if (const QString name = w->property("onChange").toString(); !name.isEmpty()) {
            Handler h = resolve(name, w->objectName() + QStringLiteral(".onChange"));
            const QMetaMethod signal =
                findSignal(w, {"changed()", "textChanged(QString)", "textChanged()",
                               "currentTextChanged(QString)", "dateChanged(QDate)", "selectionChanged()"});
            if (!signal.isValid())
                fault(QStringLiteral("%1 has no change signal for onChange").arg(w->objectName()));
            auto* slot = new HandlerSlot(h, this);
            connect(w, signal, slot, slot->metaObject()->method(slot->metaObject()->indexOfSlot("fire()")));
        }
    }
}

void Form::prepareButtons() {
    // Enter presses only a button the layout marks as default (or the focused button), so no
    // push button becomes default by taking the focus.
    const auto buttons = findChildren<QPushButton*>();
    for (QPushButton* b : buttons)
        b->setAutoDefault(false);
}

void Form::placeWindow() {
    QSize size = storedGeometry_.size();
    if (clientSize_ && menuBar_) size.rheight() += menuBar_->sizeHint().height();
    resize(size);
    if (property("borderStyle").toString() == QLatin1String("dialog")) setFixedSize(size);
    if (!centred_) move(storedGeometry_.topLeft());
}

// ------------------------------------------------------------------ objects

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

// ------------------------------------------------------------------ showing

ModalResult Form::ShowModal() { return windowShower().showModal(*this); }

void Form::beginShowing() {
    if (isVisible()) throw data::Exception(QStringLiteral("Cannot make a visible window modal"));
    modalResult_ = ModalResult::None;
    prepareButtons();
    const bool first = !placed_;
    placed_ = true;
    auto centre = [this] {
        QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
        if (!s) return;
        const QRect avail = s->availableGeometry();
        const QSize outer = frameGeometry().size();
        move(avail.x() + (avail.width() - outer.width()) / 2,
             avail.y() + (avail.height() - outer.height()) / 2);
    };
    if (first && centred_) centre();
    show();
    if (first && !clientSize_ && windowHandle()) {
        // The stored size is the outer one: take off the frame once the platform knows it.
        const QMargins m = windowHandle()->frameMargins();
        if (!m.isNull()) {
            const QSize inner = storedGeometry_.size().shrunkBy(m);
            if (property("borderStyle").toString() == QLatin1String("dialog")) setFixedSize(inner);
            resize(inner);
        }
    }
    if (first && centred_) centre(); // again, now with the frame

    // Platforms without a window manager (offscreen, minimal) cannot raise and only warn.
    static const bool canRaise = !QGuiApplication::platformName().startsWith(QLatin1String("offscreen")) &&
                                 !QGuiApplication::platformName().startsWith(QLatin1String("minimal"));
    if (canRaise) raise();
    activateWindow();
    ++timesShown_;
    const QString activate = property("onActivate").toString();
    if (!activate.isEmpty()) runGuarded(handler(activate));
}

ModalResult Form::runModalLoop() {
    if (isVisible()) exec();
    return modalResult_;
}

void Form::Close() {
    if (modalResult_ == ModalResult::None) modalResult_ = ModalResult::Cancel;
    hide();
}

void Form::setModalResult(ModalResult r) {
    modalResult_ = r;
    if (r != ModalResult::None) hide();
}

void Form::reject() { Close(); }

void Form::keyPressEvent(QKeyEvent* e) {
    const auto mods = e->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier) {
        switch (e->key()) {
        case Qt::Key_Enter:
        case Qt::Key_Return: {
            // The focused button takes Enter; otherwise the layout's default button, if any.
            if (auto* focused = qobject_cast<QPushButton*>(focusWidget());
                focused && focused->isVisible() && focused->isEnabled()) {
                focused->click();
                return;
            }
            const auto buttons = findChildren<QPushButton*>();
            for (QPushButton* b : buttons)
                if (b->isDefault() && b->isVisible()) {
                    if (b->isEnabled()) b->click();
                    return;
                }
            e->accept();
            return;
        }
        case Qt::Key_Escape: {
            // Esc presses the layout's cancel button; without one it does not close the window.
            const auto buttons = findChildren<QPushButton*>();
            for (QPushButton* b : buttons)
                if (isDynamicallyTrue(b, "cancel") && b->isVisible()) {
                    if (b->isEnabled()) b->click();
                    return;
                }
            e->accept();
            return;
        }
        default:
            break;
        }
    }
    QWidget::keyPressEvent(e);
}

} // namespace controls

#include "form.moc"
