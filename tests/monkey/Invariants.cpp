#include "Invariants.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QScrollBar>
#include <algorithm>
#include <chrono>

#include "core/modLibrary.h"
#include "ui/FormWindow.h"

namespace {
constexpr int64_t kMemoryLimitKb = 400 * 1024;
constexpr int64_t kHangMs = 2000;

// The player window, if one is open; never creates it.
QWidget* playerWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* form = qobject_cast<FormWindow*>(w);
        if (form && form->objectName() == "frmFilters" && !form->isClosing()) return form;
    }
    return nullptr;
}

QString labelText(QWidget* window, const char* name)
{
    auto* label = window->findChild<QLabel*>(name);
    return label ? label->text() : QString("(no %1)").arg(name);
}
}

QString playerAgreesWithStore()
{
    QWidget* player = playerWindow();
    if (!player) return {};
    const int64_t count = getPacketCount(), first = firstHeldPacket();
    const QString min = labelText(player, "lblPacketMin"), max = labelText(player, "lblPacketMax"),
                  counter = labelText(player, "lblPacketCounter");
    const auto* bar = player->findChild<QScrollBar*>("scrPacket");
    QStringList wrong;
    if (min != QString::number(first)) wrong << QString("lblPacketMin %1, first held %2").arg(min).arg(first);
    if (max != QString::number(count) && !(count == 0 && max == "Max"))
        wrong << QString("lblPacketMax %1, count %2").arg(max).arg(count);
    const int64_t shown = counter.toLongLong();
    if (!(counter == "0" || (QString::number(shown) == counter && shown >= first && shown <= count)))
        wrong << QString("lblPacketCounter %1 outside %2..%3").arg(counter).arg(first).arg(count);
    if (bar && count >= first && (bar->minimum() != first || bar->maximum() != count || !bar->isEnabled()))
        wrong << QString("scrPacket %1..%2 (enabled %3), held %4..%5")
                     .arg(bar->minimum()).arg(bar->maximum()).arg(bar->isEnabled()).arg(first).arg(count);
    if (bar && count < first && bar->isEnabled()) wrong << "scrPacket enabled over an empty store";
    return wrong.join("; ");
}

namespace {
// A "Vm...:" line of /proc/self/status, in kB; 0 when there is none.
int64_t statusKb(const QByteArray& key)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    return 0;
}
}

#ifdef __SANITIZE_ADDRESS__
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {
int64_t peakHeldKb = 0;

int64_t heldKb()
{
#ifdef __SANITIZE_ADDRESS__
    return int64_t(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    return statusKb("VmRSS:");
#endif
}
}

QString memoryWithinLimit()
{
    const int64_t kb = heldKb();
    peakHeldKb = std::max(peakHeldKb, kb);
#ifdef __SANITIZE_ADDRESS__
    const char* what = "heap in use";
#else
    const char* what = "VmRSS";
#endif
    return kb > kMemoryLimitKb ? QString("%1 %2 MB over %3 MB").arg(what).arg(kb / 1024).arg(kMemoryLimitKb / 1024)
                               : QString();
}

int64_t peakHeldMb() { return peakHeldKb / 1024; }
int64_t peakResidentMb() { return statusKb("VmHWM:") / 1024; }

QString noStrayModalWindow()
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal ? QString("a modal window outside the dialog layer: %1 \"%2\"")
                       .arg(modal->metaObject()->className(), modal->windowTitle())
                 : QString();
}

GuardedFolders::GuardedFolders(const QStringList& folders) : folders_(folders)
{
    for (const QString& folder : folders_) before_ << listing(folder);
}

QStringList GuardedFolders::listing(const QString& folder)
{
    // Names only: what the program writes (screenshots, saves and their
    // temporary files) has names of its own, while sizes and times change
    // with every rebuild of the programs and files beside them.
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QString GuardedFolders::unchanged() const
{
    for (qsizetype i = 0; i < folders_.size(); ++i) {
        const QStringList now = listing(folders_[i]);
        if (now == before_[i]) continue;
        QStringList changes;
        for (const QString& row : now)
            if (!before_[i].contains(row)) changes << "+" + row;
        for (const QString& row : before_[i])
            if (!now.contains(row)) changes << "-" + row;
        return QString("written outside the work folder, in %1: %2").arg(folders_[i], changes.join(", "));
    }
    return {};
}

int64_t Watchdog::nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

Watchdog::Watchdog(std::function<void(double)> hung) : lastBeat_(nowMs()), hung_(std::move(hung))
{
    thread_ = std::thread([this] {
        while (!stop_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            const int64_t silent = nowMs() - lastBeat_;
            if (silent > kHangMs) hung_(silent / 1000.0);
        }
    });
}

Watchdog::~Watchdog()
{
    stop_ = true;
    thread_.join();
}

void Watchdog::beat() { lastBeat_ = nowMs(); }
