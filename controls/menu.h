#pragma once
// Menus of a window, built from the stored items of its data file. Accelerators follow the
// platform's rule: within each menu (the bar and each drop-down by itself) the letters already
// marked with "&" are taken first; then each unmarked visible item, in menu order, takes the
// first character of its caption that in upper case is a digit or a letter A-Z not yet taken
// in that menu. Separators take none. No item gets a shortcut key.
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class QMenuBar;
class QMenu;
class QWidget;

namespace controls {

// The captions of one menu with the accelerators set ("&" before the chosen character).
// Separators are empty strings (or "-") and stay as they are; a caption with no free
// character gets none.
QStringList assignAccelerators(const QStringList& captions);
// The same, for a menu whose hidden items take no part (visible parallel to captions).
QStringList assignAccelerators(const QStringList& captions, const QVector<bool>& visible);

// The upper-case accelerator character of a caption ("&File" -> 'F'), or a null QChar.
QChar acceleratorOf(const QString& caption);

// Resolves a stored handler name to a callable; raises when there is no such handler.
// `where` names the item for the message.
using HandlerResolver = std::function<std::function<void()>(const QString& handler, const QString& where)>;

// Builds a menu bar from {"name": ..., "items": [...]}: an item with "items" is a drop-down
// (or a submenu inside one), {"separator": true} a separator line, an item with "onClick"
// and no items a command (on the bar itself too). Optional keys: "visible", "enabled"
// (default true). Menus and actions carry the items' names as object names. Each command
// runs through runGuarded.
QMenuBar* buildMenuBar(const QJsonObject& menu, QWidget* parent, const HandlerResolver& resolve);

} // namespace controls
