#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

// A widget's background colour, as windows, bands and frames carry it.
inline void SetBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

inline QColor Background(const QWidget* widget)
{
    return widget->palette().color(QPalette::Window);
}
