#include "ui/widgets/menu_item_array.h"

#include <QAction>

MenuItemArray::MenuItemArray(QMenu* menu, const QString& name, const QString& caption0)
    : QObject(menu)
    , menu_(menu)
    , name_(name)
    , captions_{caption0}
{
    connect(menu, &QMenu::aboutToShow, this, &MenuItemArray::Materialize);
}

void MenuItemArray::SetCaption(int index, const QString& caption)
{
    if (index < 0 || index >= Count())
        return;
    captions_[index] = caption;
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
    if (Count() == 1 && captions_[0] == QStringLiteral("空")) {
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
