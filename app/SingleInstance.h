// SPDX-License-Identifier: MIT
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QString>

#include <functional>
#include <memory>

// One running copy of the program per user: a lock file in a folder of the user's own, and a
// local socket named after the title on which the running copy listens, so a second one can ask
// it to come to the front. (Stands in for the named mutexes and the search for the running copy's
// window.)
class SingleInstance
{
public:
    enum class Claim {
        First,          // this copy runs; it now answers the others
        ActivatedOther, // another copy runs and came to the front
        OtherNotShown,  // another copy holds the lock but showed no window: it has none, or did not answer
    };

    // folder: a folder of the user's own (PrivateFolder), where no one else can take the names first.
    SingleInstance(const QString& title, const QString& folder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // A lock left by a copy that is gone is taken over. answerMs: how long to wait for the
    // running copy's answer.
    Claim claim(int answerMs = 3000);
    // Takes the lock when nobody holds it, and answers the others from then on; asks nobody.
    bool claimIfFree();

    // Called in the running copy when another asks it to come to the front; true when it showed a
    // window.
    void setActivateHandler(std::function<bool()> handler) { m_onActivate = std::move(handler); }

    // The lock's and the socket's path without their endings: the title and a tag of the computer's
    // name, in folder.
    static QString baseName(const QString& title, const QString& folder);

    // Why a running copy cannot be asked anything, whatever it does: the socket's path is longer
    // than a local socket's path may be (a long home folder). Empty where it can be asked.
    QString unreachableBecause() const;

    QString lockFile() const { return m_lockPath; }
    QString socketName() const { return m_socketPath; }

private:
    bool askRunningCopy(int answerMs);
    void serve();

    QString m_lockPath;
    QString m_socketPath;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
    std::function<bool()> m_onActivate;
};
