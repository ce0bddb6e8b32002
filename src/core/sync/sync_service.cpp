#include "core/sync/sync_service.h"

#include <QThread>

#include <memory>

SyncService::SyncService(QObject* parent) : QObject(parent)
{}

SyncService::~SyncService()
{
    if (thread_)
        thread_->wait();
}

void SyncService::Start(const SyncJob& job)
{
    if (thread_)
        next_ = job;
    else
        RunRound(job);
}

void SyncService::RunRound(const SyncJob& job)
{
    auto outcome = std::make_shared<SyncOutcome>();
    thread_ = QThread::create([job, outcome] { *outcome = SyncLibraryOnce(job); });
    connect(thread_, &QThread::finished, this, [this, outcome] {
        thread_->deleteLater();
        thread_ = nullptr;
        // The next round is under way before this one is told: Running()
        // says whether another answer is to come.
        if (next_)
            RunRound(*std::exchange(next_, std::nullopt));
        emit Finished(*outcome);
    });
    thread_->start();
}
