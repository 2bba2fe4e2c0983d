#include "maintenance/StepRunner.h"

namespace tarvo {

StepRunner::StepRunner(QObject* parent) : QObject(parent)
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &StepRunner::runStep);
}

StepRunner::~StepRunner()
{
    // A job left unfinished (the window goes away) takes back what it wrote, or, past that point,
    // ends its tidying at once.
    if (m_job && !m_job->isFinished()) {
        m_job->cancel();
        runToEnd(*m_job);
    }
}

void StepRunner::start(std::unique_ptr<PieceJob> job)
{
    m_job = std::move(job);
    m_timer.start();
}

void StepRunner::stop()
{
    if (!isRunning())
        return;
    m_job->cancel();
    if (!m_job->isFinished())
        return; // past stopping: it runs to its end
    m_timer.stop();
    Q_EMIT finished(false);
}

void StepRunner::runStep()
{
    const PieceJob::Step step = m_job->step();
    if (step == PieceJob::Step::More) {
        Q_EMIT progressed(m_job->progress());
        return;
    }
    m_timer.stop();
    Q_EMIT progressed(m_job->progress());
    Q_EMIT finished(step == PieceJob::Step::Done);
}

} // namespace tarvo
