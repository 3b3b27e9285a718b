#pragma once
// The window base class. A window is created once with its layout name; the subclass binds
// its handlers by name and then calls load(), which reads the stored layout
// (:/layouts/<name>.ui) and data objects (:/layouts/<name>.json), binds the controls, opens
// the datasets marked active and runs the creation handler. Showing runs the activation
// handler once per showing; closing only hides the window, which lives for the whole run.
#include "controls/dataobjectclasses.h"
#include "controls/dialogs.h"
#include "controls/formobjects.h"
#include "data/errors.h"
#include <QDialog>
#include <QHash>
#include <QRect>
#include <QString>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenuBar;

namespace data {
class Table;
class Query;
} // namespace data

namespace controls {

class PrinterSetupDialog;

// A fault of a stored layout or of a name a handler asks for: an unknown handler, widget,
// data object or class. It ends start-up, so that a typo shows at once.
class LayoutError : public data::Exception {
public:
    using data::Exception::Exception;
    const char* kindName() const override { return "EComponentError"; }
};

// A window that a handler asks for does not exist (its creation failed, or it was never made).
// Shown by the default error box like any other error of a handler.
class MissingWindowError : public LayoutError {
public:
    explicit MissingWindowError(const QString& windowName);
};

class Form : public QDialog, public FormObjects {
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    explicit Form(const QString& layoutName, QWidget* parent = nullptr);
    ~Form() override; // datasets go without events and without posting

    const QString& layoutName() const { return layoutName_; }

    // --- the window registry ---
    // The window registered under a name: the latest one made under it that still exists.
    static Form* find(const QString& name);     // nullptr when there is none
    static Form& instance(const QString& name); // raises MissingWindowError when there is none

    // --- handlers, bound by name before load() ---
    void bind(const QString& handlerName, Handler handler);
    bool hasHandler(const QString& handlerName) const { return handlers_.contains(handlerName); }
    Handler handler(const QString& handlerName) const; // raises LayoutError when unknown

    // Reads the stored layout and data objects; raises on any fault (LayoutError, or the data
    // layer's error of a dataset that does not open).
    void load();
    bool isLoaded() const { return loaded_; }

    // --- the window's objects, by component name; each raises LayoutError when missing ---
    data::Table& table(const QString& name) const;
    data::Query& query(const QString& name) const;
    data::DataSet& dataSet(const QString& name) const;
    data::DataSource& dataSource(const QString& name) const;
    data::Field& field(const QString& componentName) const; // e.g. "StaffTableStatus"
    PrinterSetupDialog& printerSetupDialog(const QString& name) const;
    QAction* menuItem(const QString& name) const; // a menu item or drop-down
    // A component of another layer's class from the data file (a report project, a report
    // connection), by its name.
    template <class T> T& component(const QString& name) const {
        for (const auto& c : components_)
            if (auto* held = dynamic_cast<ComponentOf<T>*>(c.get()); held && c->componentName() == name)
                return held->object();
        missing("component", name);
    }
    QMenuBar* menuBar() const { return menuBar_; }
    QWidget* content() const { return content_; }
    template <class T = QWidget> T* child(const QString& name) const {
        T* w = findChild<T*>(name);
        if (!w) missing("control", name);
        return w;
    }

    // FormObjects: nullptr when there is no such object.
    data::DataSet* findDataSet(const QString& name) const override;
    data::DataSource* findDataSource(const QString& name) const override;

    // --- showing ---
    // Shows the window modally through the window shower; the result is the one the window
    // closed with (callers ignore it).
    ModalResult ShowModal();
    // Ends the showing: hides the window. Nothing is posted or cancelled.
    void Close();
    ModalResult modalResult() const { return modalResult_; }
    void setModalResult(ModalResult r); // anything but None closes the window
    int timesShown() const { return timesShown_; }

    // Used by window showers: shows the window (placed as stored at its first showing) and
    // runs the activation handler once, guarded.
    void beginShowing();
    // Runs the modal loop until the window closes (nothing when it is no longer visible).
    ModalResult runModalLoop();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void reject() override;

private:
    friend class DataFileLoader;
    void registerWindow();
    void unregisterWindow();
    [[noreturn]] void missing(const char* what, const QString& name) const;
    [[noreturn]] void fault(const QString& message) const;
    void loadUi();
    void loadDataObjects();
    void bindWidgetHandlers();
    void unbindHandlers();
    void prepareButtons();
    void placeWindow();
    Handler resolve(const QString& handlerName, const QString& where) const;

    QString layoutName_;
    QHash<QString, Handler> handlers_;
    std::vector<std::unique_ptr<data::DataSet>> dataSets_;
    std::vector<std::unique_ptr<data::DataSource>> dataSources_;
    std::vector<std::unique_ptr<Component>> components_;
    std::vector<data::DataSet*> activeOrder_; // datasets marked active, in file order
    std::vector<std::unique_ptr<PrinterSetupDialog>> printerDialogs_;
    QWidget* content_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QRect storedGeometry_;
    bool clientSize_ = false;
    bool centred_ = false;
    bool placed_ = false;
    bool loaded_ = false;
    bool destroying_ = false;
    int timesShown_ = 0;
    ModalResult modalResult_ = ModalResult::None;
};

// The global instance of a window: "DestinationForm->ShowModal()" reaches the window while
// it exists and raises MissingWindowError when it does not (the handler stops and the error
// box shows). As a plain pointer it is nullptr then.
//   inline constexpr controls::FormInstance<TDestinationForm> DestinationForm{"DestinationForm"};
template <class T> class FormInstance {
public:
    constexpr explicit FormInstance(const char* name) : name_(name) {}

    const char* name() const { return name_; }
    T* get() const { return dynamic_cast<T*>(Form::find(QLatin1String(name_))); }
    T& operator*() const {
        T* w = get();
        if (!w) throw MissingWindowError(QLatin1String(name_));
        return *w;
    }
    T* operator->() const { return &**this; }
    operator T*() const { return get(); }

    friend bool operator==(const FormInstance& a, T* b) { return a.get() == b; }
    friend bool operator==(const FormInstance& a, std::nullptr_t) { return a.get() == nullptr; }

private:
    const char* name_;
};

} // namespace controls

// Binds a handler method of the same name: FORM_HANDLER(Button1Click) in a Form subclass's
// constructor, before load().
#define FORM_HANDLER(method) bind(QStringLiteral(#method), [this] { method(); })
