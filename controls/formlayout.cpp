// The Designer layout of a window: its controls, its window properties and its stored place
// and size.
#include "controls/form.h"
#include "controls/plaincontrols.h"
#include "controls/widgetfactory.h"
#include <QBuffer>
#include <QFile>
#include <QMenuBar>
#include <QSet>
#include <QUiLoader>
#include <QVBoxLayout>
#include <QXmlStreamReader>

namespace controls {

namespace {

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

} // namespace

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

void Form::placeWindow() {
    QSize size = storedGeometry_.size();
    if (clientSize_ && menuBar_) size.rheight() += menuBar_->sizeHint().height();
    resize(size);
    if (property("borderStyle").toString() == QLatin1String("dialog")) setFixedSize(size);
    if (!centred_) move(storedGeometry_.topLeft());
}

} // namespace controls
