#pragma once

#include <QWidget>

#include <array>

class PictureBox;
class QLabel;
struct ReaderState;

// The cover window: the current book's file name in large type with a
// shadow over a cover picture, a panel of reading tips and a few lines
// about the reader. The title is that of the book current when the cover
// is made, drawn again whenever it is shown and, while it is open, when the
// book or the picture changes. Closing the window discards it.
class CoverWindow : public QWidget {
    Q_OBJECT
public:
    CoverWindow(const ReaderState& state, QWidget* parent);

    void SetBackColor(const QColor& colour);
    QColor BackColor() const;
    // A new picture replaces everything drawn on the cover; an open cover
    // gets its title back over it.
    void SetPicture(const QImage& picture);
    PictureBox& CoverPicture() const { return *coverPicture; }

    // Draws the current book's name again over the picture.
    void DrawCoverTitle();
    // While the cover is open: draws the title again if the current book's
    // name is not the one shown.
    void FollowCurrentBook();
    // The title as last drawn (a long name cut with "…") and its size.
    QString DrawnTitle() const { return drawnTitle_; }
    double TitlePointSize() const { return titleFont_.pointSizeF(); }

    static constexpr double kTitlePoints = 30;
    static constexpr double kSmallestTitlePoints = 12;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QString CurrentTitle() const;
    // Shrinks the font until `title` fits the picture's width, never below
    // 12 points; at 12 a name still too wide is cut and ends with "…".
    QString FitTitle(const QString& title);
    void DrawTips();
    void CentrePanels();

    const ReaderState& state_;
    QImage picture_;  // what the title is drawn over
    QFont titleFont_;
    QString drawnTitle_;
    QString shownBook_;  // the file name the title was drawn for
    PictureBox* coverPicture;
    PictureBox* tipsPanel;
    QWidget* tipsRule;
    QWidget* aboutFrame;
    std::array<QLabel*, 3> aboutLines;
};
