#pragma once

// Keeps the program to one running instance per user: an advisory lock on a
// file in the per-user runtime folder. The kernel drops the lock with the
// process, so a crashed instance never blocks the next start.

#include <QString>

namespace zemvalkorta {

class SingleInstanceGuard {
public:
    // `lockFilePath` empty: the default file in the runtime folder.
    explicit SingleInstanceGuard(QString lockFilePath = {});
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    // True when this process now holds the lock (or already did).
    bool TryAcquire();
    QString LockFilePath() const { return path_; }

    static QString DefaultLockFilePath();
    static QString RefusalText();

private:
    QString path_;
    int descriptor_ = -1;
};

}  // namespace zemvalkorta
