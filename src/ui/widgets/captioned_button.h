#pragma once

#include <QObject>
#include <QRect>
#include <QString>

class ClickableLabel;
class QWidget;

// A navigation button of the main window: the button picture with its
// caption in front of it, both on the window itself. A click on either is a
// click on the button.
class CaptionedButton : public QObject {
    Q_OBJECT
public:
    // Object names: `name` for the button, name + "Picture" and
    // name + "Caption" for its two parts.
    CaptionedButton(QWidget* parent, const QString& name, const QString& caption);

    void Place(const QRect& picture, const QRect& caption);
    void SetVisible(bool visible);
    // What a screen reader says for the button (its picture); the caption
    // reads as a label of its own.
    void SetAccessibleText(const QString& name, const QString& description);
    ClickableLabel& Picture() const { return *picture_; }
    ClickableLabel& Caption() const { return *caption_; }

signals:
    void Clicked();

private:
    ClickableLabel* picture_;
    ClickableLabel* caption_;
};
