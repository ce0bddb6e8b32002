#pragma once

#include "core/sync/sync_round.h"

#include <QObject>

#include <optional>

class QThread;

// Runs sync rounds one at a time on a thread of their own, so the window
// never waits for the network. A round asked for while one runs follows
// it, with the newer job.
class SyncService : public QObject {
    Q_OBJECT
public:
    explicit SyncService(QObject* parent = nullptr);
    // Waits for a round under way: it ends by its own timeout.
    ~SyncService() override;

    void Start(const SyncJob& job);
    bool Running() const { return thread_ != nullptr; }

signals:
    // A round ended; Running() tells whether a round asked for meanwhile
    // has started.
    void Finished(const SyncOutcome& outcome);

private:
    void RunRound(const SyncJob& job);

    QThread* thread_ = nullptr;
    std::optional<SyncJob> next_;
};
