#include "controls/menu.h"
#include "controls/application.h"
#include "data/errors.h"
#include <QAction>
#include <QJsonArray>
#include <QMenu>
#include <QMenuBar>
#include <QSet>

namespace controls {

namespace {

bool isSeparator(const QString& caption) { return caption.isEmpty() || caption == QLatin1String("-"); }

bool isAcceleratorChar(QChar upper) {
    const char16_t u = upper.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z');
}

} // namespace

QChar acceleratorOf(const QString& caption) {
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != u'&') continue;
        if (caption.at(i + 1) == u'&') {
            ++i; // "&&" is a literal ampersand
            continue;
        }
        return caption.at(i + 1).toUpper();
    }
    return {};
}

QStringList assignAccelerators(const QStringList& captions, const QVector<bool>& visible) {
    auto shown = [&](int i) { return i >= visible.size() || visible.at(i); };
    QSet<QChar> taken;
    for (int i = 0; i < captions.size(); ++i) {
        if (!shown(i) || isSeparator(captions.at(i))) continue;
        const QChar c = acceleratorOf(captions.at(i));
        if (!c.isNull()) taken.insert(c);
    }
    QStringList result = captions;
    for (int i = 0; i < captions.size(); ++i) {
        const QString& caption = captions.at(i);
        if (!shown(i) || isSeparator(caption) || !acceleratorOf(caption).isNull()) continue;
        for (int k = 0; k < caption.size(); ++k) {
            if (caption.at(k) == u'&') { // "&&": a literal ampersand, never a candidate
                ++k;
                continue;
            }
            const QChar upper = caption.at(k).toUpper();
            if (isAcceleratorChar(upper) && !taken.contains(upper)) {
                taken.insert(upper);
                QString marked = caption;
                marked.insert(k, u'&');
                result[i] = marked;
                break;
            }
        }
    }
    return result;
}

QStringList assignAccelerators(const QStringList& captions) { return assignAccelerators(captions, {}); }

namespace {

struct Builder {
    const HandlerResolver& resolve;

    static bool flag(const QJsonObject& item, const char* key) {
        return item.value(QLatin1String(key)).toBool(true);
    }

    QAction* command(const QJsonObject& item, const QString& caption, QObject* parent) {
        auto* action = new QAction(caption, parent);
        action->setObjectName(item.value(QLatin1String("name")).toString());
        action->setVisible(flag(item, "visible"));
        action->setEnabled(flag(item, "enabled"));
        const QString handler = item.value(QLatin1String("onClick")).toString();
        if (!handler.isEmpty()) {
            auto fn = resolve(handler, action->objectName() + QLatin1String(".onClick"));
            QObject::connect(action, &QAction::triggered, action, [fn] { runGuarded(fn); });
        }
        return action;
    }

    // Captions of one menu's items with their accelerators.
    static QStringList captionsOf(const QJsonArray& items) {
        QStringList captions;
        QVector<bool> visible;
        for (const auto& v : items) {
            const QJsonObject item = v.toObject();
            captions << (item.value(QLatin1String("separator")).toBool()
                             ? QString()
                             : item.value(QLatin1String("caption")).toString());
            visible << flag(item, "visible");
        }
        return assignAccelerators(captions, visible);
    }

    void fill(QMenu* menu, const QJsonArray& items) {
        const QStringList captions = captionsOf(items);
        for (int i = 0; i < items.size(); ++i) {
            const QJsonObject item = items.at(i).toObject();
            if (item.value(QLatin1String("separator")).toBool()) {
                menu->addSeparator();
                continue;
            }
            if (item.contains(QLatin1String("items"))) {
                QMenu* sub = submenu(item, captions.at(i), menu);
                menu->addMenu(sub);
            } else {
                menu->addAction(command(item, captions.at(i), menu));
            }
        }
    }

    QMenu* submenu(const QJsonObject& item, const QString& caption, QWidget* parent) {
        auto* sub = new QMenu(caption, parent);
        sub->setObjectName(item.value(QLatin1String("name")).toString());
        sub->menuAction()->setObjectName(sub->objectName());
        sub->menuAction()->setVisible(flag(item, "visible"));
        sub->setEnabled(flag(item, "enabled"));
        fill(sub, item.value(QLatin1String("items")).toArray());
        return sub;
    }
};

} // namespace

QMenuBar* buildMenuBar(const QJsonObject& menu, QWidget* parent, const HandlerResolver& resolve) {
    auto* bar = new QMenuBar(parent);
    bar->setObjectName(menu.value(QLatin1String("name")).toString());
    // Stays inside its window on every platform, so that it is placed and tested the same way.
    bar->setNativeMenuBar(false);
    Builder b{resolve};
    const QJsonArray items = menu.value(QLatin1String("items")).toArray();
    const QStringList captions = Builder::captionsOf(items);
    for (int i = 0; i < items.size(); ++i) {
        const QJsonObject item = items.at(i).toObject();
        if (item.value(QLatin1String("separator")).toBool()) {
            bar->addSeparator();
            continue;
        }
        if (item.contains(QLatin1String("items")))
            bar->addMenu(b.submenu(item, captions.at(i), bar));
        else
            bar->addAction(b.command(item, captions.at(i), bar));
    }
    return bar;
}

} // namespace controls
