#pragma once

// Keeps the program to one running instance per user: an advisory lock on a
// file in the per-user runtime folder. The kernel drops the lock with the
// process, so a crashed instance never blocks the next start.

#include <QString>

namespace zemvalkorta {

class TSingleInstanceGuard {
public:
    // `lockFilePath` empty: the default file in the runtime folder.
    explicit TSingleInstanceGuard(QString lockFilePath = {});
    ~TSingleInstanceGuard();
    TSingleInstanceGuard(const TSingleInstanceGuard&) = delete;
    TSingleInstanceGuard& operator=(const TSingleInstanceGuard&) = delete;

    // True when this process now holds the lock (or already did).
    bool TryAcquire();
    QString LockFilePath() const { return Path; }

    static QString DefaultLockFilePath();
    static QString RefusalText();

private:
    QString Path;
    int Descriptor = -1;
};

}  // namespace zemvalkorta
