#include "ui/platform/key_state.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace {

int QtKey(int virtualKey)
{
    switch (virtualKey) {
    case KeyState::kPageUp: return Qt::Key_PageUp;
    case KeyState::kPageDown: return Qt::Key_PageDown;
    case KeyState::kHome: return Qt::Key_Home;
    default: return 0;
    }
}

}  // namespace

KeyState::KeyState(QObject* parent) : QObject(parent)
{
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        app->installEventFilter(this);
        connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state != Qt::ApplicationActive)
                ReleaseAll();
        });
    }
}

bool KeyState::KeyIsDown(int virtualKey)
{
    const int key = QtKey(virtualKey);
    const bool tapped = tapped_.remove(key);
    return key != 0 && (down_.contains(key) || tapped);
}

void KeyState::SetDown(int virtualKey, bool down)
{
    const int key = QtKey(virtualKey);
    if (key == 0)
        return;
    if (down)
        down_.insert(key);
    else
        down_.remove(key);
}

bool KeyState::eventFilter(QObject* watched, QEvent* event)
{
    // The same key event reaches the filter once per widget it passes
    // through; recording it is idempotent.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        down_.insert(key->key());
        if (!key->isAutoRepeat())
            tapped_.insert(key->key());
    } else if (event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            down_.remove(key->key());
    }
    return QObject::eventFilter(watched, event);
}
