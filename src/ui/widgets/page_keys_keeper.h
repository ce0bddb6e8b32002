#pragma once

#include <QObject>

#include <functional>

class KeyState;
class QWidget;

// Page Up, Page Down and Home step through the book wherever they are
// pressed in the program (the main window polls them). In a window that
// moves through a list with them, the chapter menu or the jump dialog, they
// belong to that list: the poller is told to forget them.
class PageKeysKeeper : public QObject {
    Q_OBJECT
public:
    // `keys` gives the poller's key state (none yet is fine).
    PageKeysKeeper(std::function<KeyState*()> keys, QObject* parent);

    // Keeps the keys pressed in `window` and the widgets it holds now.
    void Watch(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<KeyState*()> keys_;
};
