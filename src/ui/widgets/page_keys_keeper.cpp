#include "ui/widgets/page_keys_keeper.h"

#include "ui/platform/key_state.h"

#include <QKeyEvent>
#include <QWidget>

PageKeysKeeper::PageKeysKeeper(std::function<KeyState*()> keys, QObject* parent)
    : QObject(parent)
    , keys_(std::move(keys))
{}

void PageKeysKeeper::Watch(QWidget* window)
{
    window->installEventFilter(this);
    for (QWidget* child : window->findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool PageKeysKeeper::eventFilter(QObject* watched, QEvent* event)
{
    // The key state saw the press first (it filters the whole application);
    // here it forgets it, held or tapped.
    if (event->type() == QEvent::KeyPress) {
        KeyState* keys = keys_ ? keys_() : nullptr;
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int virtualKey = key == Qt::Key_PageUp ? KeyState::kPageUp
            : key == Qt::Key_PageDown                ? KeyState::kPageDown
            : key == Qt::Key_Home                    ? KeyState::kHome
                                                     : 0;
        if (keys && virtualKey != 0) {
            keys->SetDown(virtualKey, false);
            keys->KeyIsDown(virtualKey);  // asking about a tap forgets it
        }
    }
    return QObject::eventFilter(watched, event);
}
