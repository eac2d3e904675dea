#pragma once
// What must hold after every action of the random user. Each check returns
// an empty string when it holds, else what went wrong.
#include <QStringList>
#include <atomic>
#include <functional>
#include <thread>

// The player's labels and position bar agree with the packets the store holds.
QString playerAgreesWithStore();
// The memory the program holds, under the limit: its resident size or, under
// AddressSanitizer, its heap in use (there the sanitizer's shadow, red zones
// and quarantine make the resident size several times that).
QString memoryWithinLimit();
// The most the program held at a check so far, and the resident peak (VmHWM), in MB.
int64_t peakHeldMb();
int64_t peakResidentMb();
// No window of its own outside the dialog layer waits for an answer.
QString noStrayModalWindow();

// Folders the program must not write into: the names in each, taken at the
// start and compared after every action.
class GuardedFolders {
public:
    explicit GuardedFolders(const QStringList& folders);
    QString unchanged() const;

private:
    static QStringList listing(const QString& folder);
    QStringList folders_;
    QList<QStringList> before_;
};

// A thread that expects the event loop to beat at least every two seconds;
// when it does not, it calls hung(seconds) from its own thread.
class Watchdog {
public:
    explicit Watchdog(std::function<void(double)> hung);
    ~Watchdog();
    // Called from the event loop (a timer).
    void beat();

private:
    static int64_t nowMs();
    std::atomic<int64_t> lastBeat_;
    std::atomic<bool> stop_{false};
    std::function<void(double)> hung_;
    std::thread thread_;
};
