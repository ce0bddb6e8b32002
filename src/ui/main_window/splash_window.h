#pragma once

#include <QWidget>

// The splash shown while a book opens: a frameless picture above all other
// windows, centred on the screen. Showing or closing it again is harmless.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget* parent = nullptr);
    void ShowSplash();
    void CloseSplash();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};
