#pragma once

#include "maintenance/PieceJobs.h"

#include <QObject>
#include <QTimer>

#include <memory>

namespace tarvo {

// Runs a split or join on the event loop, one step at a time, so that the window stays responsive and
// can show the progress between the steps.
class StepRunner final : public QObject
{
    Q_OBJECT
public:
    explicit StepRunner(QObject* parent = nullptr);
    ~StepRunner() override;

    // Starts the job; the runner owns it until the next start.
    void start(std::unique_ptr<PieceJob> job);
    // Stops the job under way; it takes back what it wrote and finished(false) follows. A job past
    // stopping runs on to its end.
    void stop();

    bool isRunning() const { return m_timer.isActive(); }
    const PieceJob* job() const { return m_job.get(); }

Q_SIGNALS:
    // After every step while the job runs.
    void progressed(const tarvo::PieceProgress& progress);
    void finished(bool ok);

private:
    void runStep();

    std::unique_ptr<PieceJob> m_job;
    QTimer m_timer;
};

} // namespace tarvo
