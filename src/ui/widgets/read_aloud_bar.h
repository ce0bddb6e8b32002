#pragma once

#include <QFrame>

class QMenu;
class QSlider;
class QToolButton;
class ReadAloud;

// The small control of 朗读, kept in the bottom right corner of the widget
// it floats over: play/pause, stop, the previous and next sentence, the
// pace, the voice and the sleep timer. It never takes the keyboard from
// the page.
class ReadAloudBar : public QFrame {
    Q_OBJECT
public:
    ReadAloudBar(ReadAloud& reading, QWidget* over);

    // The pace as kept, -10 (slowest) to 10.
    int Pace() const;
    void SetPace(int pace);

signals:
    // Play pressed while nothing is being read.
    void StartWanted();
    void PaceChanged(int pace);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowState();
    void FillVoices();
    void Place();

    ReadAloud& reading_;
    QToolButton* playButton;
    QSlider* paceSlider;
    QMenu* voiceMenu;
};
