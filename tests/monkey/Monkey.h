#pragma once
// A random user of the program's windows. Each step draws its action from a
// seeded stream and performs it on whatever the shown windows offer: the
// controls are found by walking the widgets, so controls added later are
// covered without a change here. After each action the invariants are checked.
//
// The stream draws the same numbers for the same seed whatever the program
// does, so a run replays the same sequence of choices; what a choice lands
// on can still differ where timers (playback, a capture) moved the program on.
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <map>
#include <memory>
#include <random>

class GuardedFolders;
class MonkeyDialogs;
class MonkeyFiles;
class QAction;
class QWidget;
class Watchdog;

struct MonkeyOptions {
    double seconds = 60;
    uint64_t seed = 1;
    QString work;          // the run's temporary folder: saves, screenshots, HOME
    QStringList guarded;   // folders nothing may be written into
};

class Monkey : public QObject {
public:
    explicit Monkey(const MonkeyOptions& options);
    ~Monkey() override;
    void start();

private:
    using Rng = std::mt19937_64;
    struct Kind {
        const char* name;
        int weight;
        void (Monkey::*act)(Rng&);
    };
    static const std::vector<Kind>& kinds();

    void step();
    void checkInvariants();
    [[noreturn]] void fail(const QString& what);
    [[noreturn]] void finish();
    void log(const QString& line);

    // The actions.
    void menu(Rng& r);
    void shortcut(Rng& r);
    void click(Rng& r);
    void key(Rng& r);
    void combo(Rng& r);
    void slider(Rng& r);
    void picture(Rng& r);
    void wheel(Rng& r);
    void text(Rng& r);
    void resize(Rng& r);
    void close(Rng& r);
    void load(Rng& r);
    void save(Rng& r);
    void screenshot(Rng& r);
    void player(Rng& r);
    void capture(Rng& r);
    void traffic(Rng& r);
    void feed(Rng& r);
    void wait(Rng& r);

    // Shows the window behind a menu item ("ToolFilters") unless it is shown.
    QWidget* shownWindowOf(const QString& menuItem, const QString& windowName);
    bool trigger(const QString& menuItem);

    MonkeyOptions options_;
    Rng rng_;
    QElapsedTimer clock_;
    std::unique_ptr<MonkeyFiles> files_;
    std::unique_ptr<MonkeyDialogs> dialogs_;
    std::unique_ptr<GuardedFolders> guarded_;
    std::unique_ptr<Watchdog> watchdog_;
    int depth_ = 0;                 // actions under way: one may run inside another's event loop
    int64_t actions_ = 0;
    int64_t running_ = 0;           // the action under way, for one that runs inside it
    std::map<QString, int64_t> counts_;
    int logFile_ = -1;
};
