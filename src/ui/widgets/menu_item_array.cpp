#include "ui/widgets/menu_item_array.h"

#include <QAction>
#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QWheelEvent>

#include <cmath>

namespace {

// The menu's own style with scrolling switched on: a menu taller than the
// screen then keeps one column and scrolls instead of adding columns.
class ScrollingMenuStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_Menu_Scrollable)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

MenuItemArray::MenuItemArray(QMenu* menu, const QString& name, const QString& caption0)
    : QObject(menu)
    , menu_(menu)
    , name_(name)
    , captions_{caption0}
    , placeholder_(caption0 == QStringLiteral("空"))
{
    connect(menu, &QMenu::aboutToShow, this, &MenuItemArray::Materialize);
}

void MenuItemArray::SetCaption(int index, const QString& caption)
{
    if (index < 0 || index >= Count())
        return;
    captions_[index] = caption;
    if (index == 0)
        placeholder_ = false;
    if (!stale_ && index < actions_.size())
        actions_[index]->setText(QString(caption).replace(u'&', QStringLiteral("&&")));
}

void MenuItemArray::SetTag(int index, int tag)
{
    if (index >= 0 && index < Count())
        tags_[index] = tag;
}

bool MenuItemArray::Load(int index, const QString& caption)
{
    if (index != Count())
        return false;
    captions_.append(caption);
    tags_.append(0);
    stale_ = true;
    return true;
}

int MenuItemArray::AddEntry(const QString& caption)
{
    if (Count() == 1 && placeholder_) {
        SetCaption(0, caption);
        return 0;
    }
    Load(Count(), caption);
    return Count() - 1;
}

void MenuItemArray::UnloadAll()
{
    if (captions_.size() == 1)
        return;
    captions_.resize(1);
    tags_.resize(1);
    stale_ = true;
}

void MenuItemArray::SetItems(const QString& caption0, QStringList rest)
{
    rest.prepend(caption0);
    if (rest == captions_)
        return;
    captions_ = std::move(rest);
    placeholder_ = false;
    tags_.resize(captions_.size());
    stale_ = true;
}

QAction* MenuItemArray::Action(int index)
{
    Materialize();
    return actions_.value(index);
}

void MenuItemArray::Materialize()
{
    if (!stale_ || !menu_)
        return;
    // Old actions may belong to a handler still running (a message box it
    // opened lets the user reopen the menu): delete them later.
    for (QAction* old : std::as_const(actions_)) {
        menu_->removeAction(old);
        old->deleteLater();
    }
    actions_.clear();
    actions_.reserve(captions_.size());
    for (int i = 0; i < captions_.size(); ++i) {
        auto* action = new QAction(QString(captions_[i]).replace(u'&', QStringLiteral("&&")), menu_);
        action->setObjectName(name_);
        action->setProperty("index", i);
        connect(action, &QAction::triggered, this, [this, i] { emit Clicked(i); });
        actions_.append(action);
    }
    menu_->addActions(actions_);
    stale_ = false;
}

void MenuItemArray::ScrollInOneColumn(std::function<int()> current)
{
    const bool first = !current_;
    current_ = std::move(current);
    if (!menu_ || !first)
        return;
    // Over a fresh copy of the application's style, so the menu looks as
    // before; the menu owns it.
    auto* style = new ScrollingMenuStyle(QStyleFactory::create(QApplication::style()->name()));
    style->setParent(menu_);
    menu_->setStyle(style);
    menu_->installEventFilter(this);
}

bool MenuItemArray::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == menu_ && current_) {
        if (event->type() == QEvent::Show) {
            // The menu knows whether it scrolls only once it is placed.
            SelectCurrent();
            // Opened from the keyboard, the menu selects its first visible
            // item right after showing; select the current one again then.
            QMetaObject::invokeMethod(this, &MenuItemArray::SelectCurrent, Qt::QueuedConnection);
        } else if (event->type() == QEvent::Hide && !actions_.isEmpty()) {
            // Back to the top while closing: a menu that opens scrolled lays
            // out every item again, thousands of them in a long book.
            menu_->setActiveAction(actions_.first());
        } else if (event->type() == QEvent::Wheel && !wheeling_) {
            WheelFurther(static_cast<const QWheelEvent&>(*event));
        }
    }
    return QObject::eventFilter(watched, event);
}

void MenuItemArray::SelectCurrent()
{
    if (!menu_ || !menu_->isVisible() || !current_)
        return;
    const int index = current_();
    if (index < 0 || index >= actions_.size())
        return;
    // Selecting an action scrolls it to the middle of a scrolling menu.
    if (menu_->activeAction() != actions_[index])
        menu_->setActiveAction(actions_[index]);
}

// The menu moves one item per wheel event; a notch moves as many items as
// it moves lines in a list. The event itself moves the first item.
void MenuItemArray::WheelFurther(const QWheelEvent& event)
{
    const int notches = static_cast<int>(std::lround(std::abs(event.angleDelta().y()) / 120.0));
    const int extra = notches * QApplication::wheelScrollLines() - 1;
    wheeling_ = true;
    for (int i = 0; i < extra && menu_; ++i) {
        QWheelEvent again(event.position(), event.globalPosition(), event.pixelDelta(), event.angleDelta(),
                          event.buttons(), event.modifiers(), event.phase(), event.inverted(), event.source());
        QCoreApplication::sendEvent(menu_, &again);
    }
    wheeling_ = false;
}
