#pragma once

#include <QLabel>
#include <QMouseEvent>

// A label or image that reports clicks, as the window's buttons do.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void Clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            emit Clicked();
        QLabel::mouseReleaseEvent(event);
    }
};

// A narrow caption that reads from top to bottom, one character a line
// set as tightly as the font's size, cut off at the bottom like any label.
class VerticalCaption : public ClickableLabel {
    Q_OBJECT
public:
    using ClickableLabel::ClickableLabel;

    static constexpr qsizetype kWholeCharacters = 3;

protected:
    void paintEvent(QPaintEvent* event) override;
};
