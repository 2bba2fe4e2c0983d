#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QTimer;

namespace tarvo {

// The start window: the product picture, name and version, and a progress bar that a 50 ms timer
// advances from 1 to 75. On the tick after the bar is full the window closes and emits finished(),
// on which the start-up goes on.
class frmSplash final : public QWidget
{
    Q_OBJECT
public:
    static constexpr int TickMs = 50;
    static constexpr int Steps = 75;

    explicit frmSplash(QWidget* parent = nullptr);

    // The timer's handler, one step of the progress bar.
    void tim_delay_Timer();

    // The next value of a counter that runs 1, 2, ... limit and then falls back to 0.
    static int StepCounter(int& counter, int limit);

Q_SIGNALS:
    void finished();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_picture = nullptr;
    QLabel* m_version = nullptr;
    QProgressBar* m_progress = nullptr;
    QTimer* m_timer = nullptr;
    int m_counter = 0;
    bool m_done = false;
};

} // namespace tarvo
