#include "controls/db/dbnavigator.h"

#include "controls/application.h"
#include "controls/dialogs.h"
#include "data/dataset.h"
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QToolButton>

namespace controls {

namespace {

struct ButtonLook {
    const char* name;
    const char* hint;
    const char* glyph; // a VCR-like symbol drawn as text
};

const ButtonLook looks[DBNavigator::ButtonCount] = {
    {"First", "First record", "|\u25C0"}, {"Prior", "Prior record", "\u25C0"},
    {"Next", "Next record", "\u25B6"},    {"Last", "Last record", "\u25B6|"},
    {"Insert", "Insert record", "+"},     {"Delete", "Delete record", "\u2212"},
    {"Edit", "Edit record", "\u25B2"},    {"Post", "Post edit", "\u2714"},
    {"Cancel", "Cancel edit", "\u2716"},  {"Refresh", "Refresh data", "\u21BB"},
};

// A navigator button that shows the keyboard focus of its navigator.
class NavigatorButton : public QToolButton {
public:
    NavigatorButton(DBNavigator* navigator, DBNavigator::Button which)
        : QToolButton(navigator), navigator_(navigator), which_(which) {}

protected:
    void paintEvent(QPaintEvent* e) override {
        QToolButton::paintEvent(e);
        if (!navigator_->hasFocus() || navigator_->focusedButton() != which_) return;
        QPainter p(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }

private:
    DBNavigator* navigator_;
    DBNavigator::Button which_;
};

} // namespace

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // No tab stop unless its layout makes it one (focusPolicy Qt::TabFocus); clicks on its
    // buttons never take the focus.
    setFocusPolicy(Qt::NoFocus);
    for (int i = 0; i < ButtonCount; ++i) {
        auto* b = new NavigatorButton(this, Button(i));
        b->setObjectName(QString::fromLatin1(looks[i].name));
        b->setText(QString::fromUtf8(looks[i].glyph));
        b->setAccessibleName(QString::fromLatin1(looks[i].hint));
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        b->setFocusPolicy(Qt::NoFocus); // pressing a button leaves the focus where it was
        b->setAutoRaise(false);
        const Button which = Button(i);
        connect(b, &QToolButton::clicked, this, [this, which] { BtnClick(which); });
        layout->addWidget(b);
        buttons_[i] = b;
        visible_[i] = true;
    }
    setShowHints(false);
    updateButtons();
}

DBNavigator::~DBNavigator() = default;

QString DBNavigator::buttonName(Button b) { return QString::fromLatin1(looks[b].name); }
QString DBNavigator::buttonHint(Button b) { return QString::fromLatin1(looks[b].hint); }

void DBNavigator::bindData(const FormObjects& objects) {
    const QVariant buttons = property("visibleButtons");
    if (buttons.isValid()) {
        if (buttons.typeId() == QMetaType::QStringList)
            setVisibleButtons(buttons.toStringList().join(','));
        else
            setVisibleButtons(buttons.toString());
    }
    const QVariant hints = property("showHints");
    if (hints.isValid())
        setShowHints(hints.typeId() == QMetaType::QString
                         ? hints.toString().trimmed().compare("true", Qt::CaseInsensitive) == 0
                         : hints.toBool());
    const QString sourceName = property("dataSource").toString().trimmed();
    setDataSource(sourceName.isEmpty() ? nullptr : objects.findDataSource(sourceName));
    updateButtons();
}

void DBNavigator::setVisibleButtons(const QList<Button>& list) {
    for (int i = 0; i < ButtonCount; ++i)
        visible_[i] = list.contains(Button(i));
    layoutButtons();
}

void DBNavigator::setVisibleButtons(const QString& names) {
    QList<Button> list;
    for (QString n : names.split(QRegularExpression("[,;\\s\\[\\]]+"), Qt::SkipEmptyParts)) {
        if (n.startsWith("nb", Qt::CaseInsensitive)) n = n.mid(2);
        for (int i = 0; i < ButtonCount; ++i)
            if (n.compare(QLatin1String(looks[i].name), Qt::CaseInsensitive) == 0) list.append(Button(i));
    }
    setVisibleButtons(list);
}

QList<DBNavigator::Button> DBNavigator::visibleButtons() const {
    QList<Button> list;
    for (int i = 0; i < ButtonCount; ++i)
        if (visible_[i]) list.append(Button(i));
    return list;
}

void DBNavigator::layoutButtons() {
    for (int i = 0; i < ButtonCount; ++i)
        buttons_[i]->setVisible(visible_[i]);
    if (!visible_[focused_]) moveFocusedButton(1);
}

void DBNavigator::moveFocusedButton(int step) {
    // To the next shown button that way; at either end the focus stays.
    for (int i = focused_ + step; i >= 0 && i < ButtonCount; i += step) {
        if (!visible_[i]) continue;
        buttons_[focused_]->update();
        focused_ = Button(i);
        buttons_[focused_]->update();
        return;
    }
    if (!visible_[focused_] && step > 0) moveFocusedButton(-1);
}

void DBNavigator::keyPressEvent(QKeyEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier) {
        switch (e->key()) {
        case Qt::Key_Left:
            moveFocusedButton(-1);
            return;
        case Qt::Key_Right:
            moveFocusedButton(1);
            return;
        case Qt::Key_Space:
            if (visible_[focused_]) BtnClick(focused_);
            return;
        default:
            break;
        }
    }
    QWidget::keyPressEvent(e);
}

void DBNavigator::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    buttons_[focused_]->update();
}

void DBNavigator::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    buttons_[focused_]->update();
}

void DBNavigator::setShowHints(bool on) {
    showHints_ = on;
    for (int i = 0; i < ButtonCount; ++i)
        buttons_[i]->setToolTip(on ? QString::fromLatin1(looks[i].hint) : QString());
}

void DBNavigator::updateButtons() {
    const data::DataSet* ds = dataSet();
    const bool active = isEnabled() && ds && ds->Active();
    const bool editing =
        active && (ds->State() == data::DataSetState::Edit || ds->State() == data::DataSetState::Insert);
    const bool canModify = active && ds->CanModify();
    const bool empty = active && ds->IsEmpty() && !editing;
    const bool up = active && !ds->Bof();
    const bool down = active && !ds->Eof();
    bool on[ButtonCount];
    on[First] = up;
    on[Prior] = up;
    on[Next] = down;
    on[Last] = down;
    on[Insert] = canModify;
    on[Delete] = canModify && !empty;
    on[Edit] = canModify && !editing;
    on[Post] = canModify && editing;
    on[Cancel] = canModify && editing;
    on[Refresh] = active;
    for (int i = 0; i < ButtonCount; ++i)
        buttons_[i]->setEnabled(on[i]);
}

void DBNavigator::BtnClick(Button b) {
    data::DataSet* ds = dataSet();
    if (!ds || !ds->Active() || !buttons_[b]->isEnabled()) return;
    runGuarded([&] {
        switch (b) {
        case First:
            ds->First();
            break;
        case Prior:
            ds->Prior();
            break;
        case Next:
            ds->Next();
            break;
        case Last:
            ds->Last();
            break;
        case Insert:
            ds->Insert();
            break;
        case Delete:
            if (MessageDlg(QStringLiteral("Delete record?"), MsgDlgType::Confirmation,
                           MsgButtons::OKCancel) == ModalResult::OK)
                ds->Delete();
            break;
        case Edit:
            ds->Edit();
            break;
        case Post:
            ds->Post();
            break;
        case Cancel:
            ds->Cancel();
            break;
        case Refresh:
            ds->Refresh();
            break;
        }
    });
    updateButtons();
}

} // namespace controls
