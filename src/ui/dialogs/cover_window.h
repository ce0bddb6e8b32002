#pragma once

#include <QWidget>

#include <array>

class PictureBox;
class QLabel;
struct ReaderState;

// The cover window: the current book's file name in large type with a
// shadow over a cover picture, a panel of reading tips and a few lines
// about the reader. The title is drawn once, when the window is made;
// closing the window discards it.
class CoverWindow : public QWidget {
    Q_OBJECT
public:
    CoverWindow(ReaderState& state, QWidget* parent);

    void SetBackColor(const QColor& colour);
    QColor BackColor() const;
    // A new picture replaces everything drawn on the cover, the title included.
    void SetPicture(const QImage& picture);
    PictureBox& CoverPicture() const { return *coverPicture; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void DrawCoverTitle();
    void DrawTips();
    void CentrePanels();

    ReaderState& state_;
    PictureBox* coverPicture;
    PictureBox* tipsPanel;
    QWidget* tipsRule;
    QWidget* aboutFrame;
    std::array<QLabel*, 3> aboutLines;
};
