#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class QWheelEvent;

// A menu-item array: item 0 exists from the window's design, items 1 and up
// are loaded and unloaded at run time. The captions are the truth; the
// actions of the menu are made from them only when the menu is about to
// open, so a chapter menu of thousands of entries costs nothing until the
// user looks at it.
class MenuItemArray : public QObject {
    Q_OBJECT
public:
    MenuItemArray(QMenu* menu, const QString& name, const QString& caption0);

    int Count() const { return static_cast<int>(captions_.size()); }
    QString Caption(int index) const { return captions_.value(index); }
    void SetCaption(int index, const QString& caption);
    const QStringList& Captions() const { return captions_; }
    // Loads item `index`; only the next index can be loaded, an existing one
    // cannot (false).
    bool Load(int index, const QString& caption = QString());
    // Unloads every item from 1 to the last; item 0 stays.
    void UnloadAll();
    // Whether item `index` is the placeholder "空" of an array with no entry:
    // clicking it does nothing.
    bool IsPlaceholder(int index) const { return index == 0 && placeholder_; }
    // Adds an entry at the end; the first real entry takes over item 0 while
    // it is the placeholder. Returns the entry's index.
    int AddEntry(const QString& caption);
    // Item 0 keeps its caption, the rest become `captions` (items 1..).
    void SetItems(const QString& caption0, QStringList rest);

    // A number kept with each item (the books menu keeps the book's slot).
    int Tag(int index) const { return tags_.value(index); }
    void SetTag(int index, int tag);

    QMenu* Menu() const { return menu_; }
    // The action standing for item `index` (made on demand).
    QAction* Action(int index);

    // The menu scrolls in one column instead of adding columns off the
    // screen, a wheel notch moves as many items as in a list, and every time
    // it opens, item `current()` is selected and scrolled to the middle
    // (none when that is not an item).
    void ScrollInOneColumn(std::function<int()> current);

signals:
    void Clicked(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Materialize();
    void SelectCurrent();
    void WheelFurther(const QWheelEvent& event);

    QPointer<QMenu> menu_;
    QString name_;
    QStringList captions_;
    bool placeholder_ = false;  // item 0 still holds "空"
    QList<int> tags_{0};
    QList<QAction*> actions_;
    bool stale_ = true;
    std::function<int()> current_;
    bool wheeling_ = false;
};
