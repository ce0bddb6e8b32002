#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QWidget>

// A picture box that keeps what is drawn on it: a stored image made of the
// back colour, the picture at its own size at the top left (skin pictures
// fade into their background colour on the right) and the texts printed since.
// Positions are in twips. A new back colour or picture erases the texts.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    QColor BackColor() const { return backColor_; }
    void SetBackColor(const QColor& colour);
    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& picture);

    QFont& Font() { return font_; }
    void SetFont(const QFont& font) { font_ = font; }
    QColor ForeColor() const { return foreColor_; }
    void SetForeColor(const QColor& colour) { foreColor_ = colour; }

    double CurrentX = 0;
    double CurrentY = 0;

    // Draws `text` with its top left at (CurrentX, CurrentY), then moves
    // to the start of the next line.
    void Print(const QString& text);
    double TextWidth(const QString& text) const;
    // `text` as it fits `width` twips: the font shrinks a point at a time
    // down to `leastPoints`, then the text is cut with "…".
    QString Fitted(const QString& text, double width, double leastPoints);
    double TextHeight() const;
    // Width and height of the drawing area in twips.
    double ScaleWidth() const;
    double ScaleHeight() const;

    // What the box shows now.
    const QImage& StoredImage() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Repaint();

    QColor backColor_ = Qt::white;
    QImage picture_;
    QFont font_;
    QColor foreColor_ = Qt::black;
    QImage image_;
};
