#pragma once

#include "ui/common/picture_box.h"

#include <QLabel>
#include <QWidget>

#include <array>

class Form4;

// The cover window: the current book's file name in large type with a
// shadow over a cover picture, and two panels about the reader. The title
// is drawn once, when the window is made; closing the window discards it.
class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(Form4& main);

    PictureBox* Picture1;
    PictureBox* Picture2;
    QWidget* Frame1;
    QWidget* Frame2;
    std::array<QLabel*, 3> Label1;

    void SetBackColor(const QColor& colour);
    QColor BackColor() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void DrawCoverTitle();
    void CentrePanels();

    Form4& main_;
};
