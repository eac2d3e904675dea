#include "Monkey.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMetaMethod>
#include <QPointer>
#include <QShortcut>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <arpa/inet.h>
#include <csignal>
#include <execinfo.h>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include "Invariants.h"
#include "MonkeyDialogs.h"
#include "MonkeyFiles.h"
#include "app/frmMain.h"
#include "platform/PictureSurface.h"
#include "ui/FormWindow.h"
#include "ui/programFolders.h"

namespace {
constexpr int kPaceMs = 2;          // between the end of one step and the next
constexpr int kMaxDepth = 4;        // actions inside an action's event loop, this deep at most
constexpr int kBeatMs = 100;

// The windows a user sees, in a fixed order (the application's own list is a set).
QList<QWidget*> shownWindows()
{
    QList<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* form = qobject_cast<FormWindow*>(w);
        if (w->isVisible() && !(form && form->isClosing()) && !qobject_cast<QMenu*>(w)) windows << w;
    }
    std::sort(windows.begin(), windows.end(), [](QWidget* a, QWidget* b) {
        return std::pair(a->objectName(), a->windowTitle()) < std::pair(b->objectName(), b->windowTitle());
    });
    return windows;
}

// Every visible control of type T in the shown windows, in creation order.
template <class T>
QList<T*> shownControls(bool enabledOnly = false)
{
    QList<T*> found;
    for (QWidget* window : shownWindows()) {
        if (auto* self = qobject_cast<T*>(window)) found << self;
        for (T* c : window->findChildren<T*>())
            if (c->isVisible() && (!enabledOnly || c->isEnabled())) found << c;
    }
    return found;
}

template <class T>
T pickOne(const QList<T>& list, std::mt19937_64& r)
{
    return list.at(qsizetype(r() % uint64_t(list.size())));
}

QString nameOf(const QObject* o)
{
    if (!o) return "(gone)";
    QString name = o->objectName().isEmpty() ? QString("<%1>").arg(o->metaObject()->className()) : o->objectName();
    const QVariant index = o->property("index");
    if (index.isValid()) name += QString("[%1]").arg(index.toInt());
    if (auto* w = qobject_cast<const QWidget*>(o); w && !w->isWindow()) return nameOf(w->window()) + "/" + name;
    return name;
}

QPoint pointIn(const QWidget* w, std::mt19937_64& r, int spill = 0)
{
    const int width = std::max(1, w->width()), height = std::max(1, w->height());
    return {int(r() % uint64_t(width + 2 * spill)) - spill, int(r() % uint64_t(height + 2 * spill)) - spill};
}

// Every item of the main window's menus that a user can choose now.
QList<QAction*> menuItems()
{
    QList<QAction*> items;
    std::function<void(const QList<QAction*>&)> walk = [&](const QList<QAction*>& actions) {
        for (QAction* a : actions) {
            if (a->menu()) walk(a->menu()->actions());
            else if (!a->isSeparator() && a->isVisible() && a->isEnabled()) items << a;
        }
    };
    if (QWidget* bar = frmMain()->menuWidget()) walk(bar->actions());
    return items;
}

// A release where no drag remains, so that the test library forgets a button
// held over a widget that was destroyed under the drag.
void letGoOfMouse()
{
    QTest::mouseRelease(frmMain()->centralWidget(), Qt::LeftButton);
    QTest::mouseRelease(frmMain()->centralWidget(), Qt::RightButton);
}

pthread_t mainThread;

#ifdef __SANITIZE_ADDRESS__
extern "C" void __sanitizer_print_stack_trace();
#endif

// Asked for by the watchdog: where the main thread is stuck.
void printMainStack(int)
{
    static const char heading[] = "the main thread is here:\n";
    if (::write(2, heading, sizeof heading - 1) < 0) return;
#ifdef __SANITIZE_ADDRESS__
    __sanitizer_print_stack_trace();
#else
    void* frames[64];
    backtrace_symbols_fd(frames, backtrace(frames, 64), 2);
#endif
}
}

const std::vector<Monkey::Kind>& Monkey::kinds()
{
    static const std::vector<Kind> list = {
        {"menu", 10, &Monkey::menu},     {"shortcut", 4, &Monkey::shortcut},   {"click", 14, &Monkey::click},
        {"key", 10, &Monkey::key},       {"combo", 6, &Monkey::combo},         {"slider", 7, &Monkey::slider},
        {"picture", 12, &Monkey::picture}, {"wheel", 3, &Monkey::wheel},       {"text", 2, &Monkey::text},
        {"resize", 4, &Monkey::resize},  {"close", 4, &Monkey::close},         {"load", 5, &Monkey::load},
        {"save", 2, &Monkey::save},      {"screenshot", 2, &Monkey::screenshot}, {"player", 6, &Monkey::player},
        {"capture", 3, &Monkey::capture}, {"traffic", 3, &Monkey::traffic},    {"wait", 3, &Monkey::wait},
        {"feed", 2, &Monkey::feed},
    };
    return list;
}

Monkey::Monkey(const MonkeyOptions& options) : options_(options), rng_(options.seed)
{
    mainThread = pthread_self();
    logFile_ = ::open(QFile::encodeName(options_.work + "/monkey.log").constData(),
                      O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
    files_ = std::make_unique<MonkeyFiles>(options_.work, sampleFolder() + "/sample.nivora", options_.seed);
    dialogs_ = std::make_unique<MonkeyDialogs>(options_.seed, *files_, [this](const QString& line) { log(line); });
    guarded_ = std::make_unique<GuardedFolders>(options_.guarded);
    // The Exit item and the main window's close box would end the run; the
    // run goes on, as a fresh start would.
    setProgramEnding([this] { log("  (the program ends here: Exit)"); });
}

Monkey::~Monkey() = default;

void Monkey::start()
{
    std::printf("nivora-monkey: seed %llu, %.0f s, work folder %s\n", (unsigned long long)options_.seed,
                options_.seconds, qPrintable(options_.work));
    std::fflush(stdout);
    clock_.start();
    std::signal(SIGUSR2, printMainStack);
    watchdog_ = std::make_unique<Watchdog>([this](double seconds) {
        std::fprintf(stderr, "\nnivora-monkey: FAILED: the event loop did not answer for %.1f s (action #%lld)\n",
                     seconds, (long long)actions_);
        std::fflush(stderr);
        pthread_kill(mainThread, SIGUSR2);
        std::this_thread::sleep_for(std::chrono::seconds(5));
        std::_Exit(2);
    });
    auto* beat = new QTimer(this);
    connect(beat, &QTimer::timeout, this, [this] { watchdog_->beat(); });
    beat->start(kBeatMs);
    QTimer::singleShot(kPaceMs, this, &Monkey::step);
}

void Monkey::log(const QString& line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    if (logFile_ >= 0 && ::write(logFile_, bytes.constData(), size_t(bytes.size())) < 0) logFile_ = -1;
}

void Monkey::step()
{
    // The next step first: it may come inside this one's event loop, as a
    // user's click comes during a load.
    // Time is up: the run ends as Exit does, whatever is under way (a long
    // drawing may still be running below this step).
    if (clock_.elapsed() >= qint64(options_.seconds * 1000)) finish();
    QTimer::singleShot(kPaceMs, this, &Monkey::step);
    // Nothing reaches other windows while a box waits for its answer.
    if (depth_ >= kMaxDepth || dialogs_->modalOpen()) return;

    const uint64_t choice = rng_(), seed = rng_();
    int total = 0;
    for (const Kind& k : kinds()) total += k.weight;
    int at = int(choice % uint64_t(total));
    const Kind* kind = &kinds().front();
    for (const Kind& k : kinds()) {
        if (at < k.weight) { kind = &k; break; }
        at -= k.weight;
    }
    const int64_t number = ++actions_;
    ++counts_[kind->name];
    log(QString("#%1 %2%3 at %4 s").arg(number).arg(kind->name)
            .arg(depth_ ? QString(" (inside #%1)").arg(running_) : "").arg(clock_.elapsed() / 1000.0, 0, 'f', 3));
    Rng local(seed);
    const int64_t outer = running_;
    running_ = number;
    ++depth_;
    (this->*kind->act)(local);
    --depth_;
    running_ = outer;
    checkInvariants();
}

void Monkey::checkInvariants()
{
    for (const QString& broken : {playerAgreesWithStore(), guarded_->unchanged(), memoryWithinLimit(),
                                  noStrayModalWindow()})
        if (!broken.isEmpty()) fail(broken);
}

void Monkey::fail(const QString& what)
{
    log("FAILED: " + what);
    std::fprintf(stderr, "\nnivora-monkey: FAILED after action #%lld: %s\n", (long long)actions_, qPrintable(what));
    std::fflush(nullptr);
    std::_Exit(1);
}

void Monkey::finish()
{
    const double seconds = clock_.elapsed() / 1000.0;
    std::printf("nivora-monkey: seed %llu passed: %lld actions in %.1f s (%.1f per second)\n",
                (unsigned long long)options_.seed, (long long)actions_, seconds, actions_ / seconds);
    std::printf("  peak memory held %lld MB, resident (VmHWM) %lld MB\n", (long long)peakHeldMb(),
                (long long)peakResidentMb());
    for (const auto& [name, count] : counts_) std::printf("  %-11s %lld\n", qPrintable(name), (long long)count);
    std::fflush(nullptr);
    // Ends as the program's own Exit does, without unwinding the windows.
    std::_Exit(0);
}

bool Monkey::trigger(const QString& menuItem)
{
    QAction* item = frmMain()->menuItem(menuItem);
    if (!item || !item->isEnabled()) return false;
    log("  menu " + menuItem);
    item->trigger();
    return true;
}

QWidget* Monkey::shownWindowOf(const QString& menuItem, const QString& windowName)
{
    auto find = [&]() -> QWidget* {
        for (QWidget* w : shownWindows())
            if (w->objectName() == windowName) return w;
        return nullptr;
    };
    if (QWidget* w = find()) return w;
    trigger(menuItem);
    return find();
}

void Monkey::menu(Rng& r)
{
    const QList<QAction*> items = menuItems();
    if (items.isEmpty()) return;
    QAction* item = pickOne(items, r);
    log("  menu " + item->objectName() + " \"" + item->text() + "\"");
    item->trigger();
}

void Monkey::shortcut(Rng& r)
{
    QList<QKeySequence> keys = {QKeySequence("F5"), QKeySequence("Ctrl+S"), QKeySequence("Ctrl+W"),
                                QKeySequence("Escape"), QKeySequence("F1"), QKeySequence("Alt+F4")};
    for (QWidget* window : shownWindows()) {
        for (QAction* a : window->findChildren<QAction*>())
            for (const QKeySequence& k : a->shortcuts()) keys << k;
        for (QShortcut* s : window->findChildren<QShortcut*>()) keys << s->key();
    }
    const QList<QWidget*> windows = shownWindows();
    if (windows.isEmpty()) return;
    QWidget* window = pickOne(windows, r);
    const QKeySequence keysPressed = pickOne(keys, r);
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    log("  keys " + keysPressed.toString() + " on " + nameOf(target));
    window->activateWindow();
    QTest::keySequence(target, keysPressed);
}

void Monkey::click(Rng& r)
{
    const QList<QAbstractButton*> buttons = shownControls<QAbstractButton>();
    if (buttons.isEmpty()) return;
    QAbstractButton* b = pickOne(buttons, r);
    const bool right = r() % 8 == 0;
    log(QString("  %1click %2").arg(right ? "right-" : "", nameOf(b)));
    QTest::mouseClick(b, right ? Qt::RightButton : Qt::LeftButton, {}, pointIn(b, r));
}

void Monkey::key(Rng& r)
{
    static const QList<Qt::Key> keys = {Qt::Key_Up,     Qt::Key_Down,  Qt::Key_Left,     Qt::Key_Right,
                                        Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home,  Qt::Key_End,
                                        Qt::Key_Space,  Qt::Key_Return, Qt::Key_Enter,   Qt::Key_Tab,
                                        Qt::Key_Backtab, Qt::Key_Escape, Qt::Key_Backspace, Qt::Key_Delete,
                                        Qt::Key_A,      Qt::Key_1,     Qt::Key_F5,       Qt::Key_Plus};
    static const QList<Qt::KeyboardModifiers> modifiers = {Qt::NoModifier, Qt::NoModifier, Qt::NoModifier,
                                                           Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier};
    QList<QWidget*> focusable;
    for (QWidget* w : shownControls<QWidget>(true))
        if (w->focusPolicy() & Qt::TabFocus) focusable << w;
    if (focusable.isEmpty()) return;
    QWidget* w = pickOne(focusable, r);
    const Qt::Key k = pickOne(keys, r);
    const Qt::KeyboardModifiers m = pickOne(modifiers, r);
    log(QString("  key %1 on %2").arg(QKeySequence(int(k) | int(m)).toString(), nameOf(w)));
    w->window()->activateWindow();
    w->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w, k, m);
}

void Monkey::combo(Rng& r)
{
    QList<QComboBox*> lists;
    for (QComboBox* c : shownControls<QComboBox>(true))
        if (c->count() > 0) lists << c;
    if (lists.isEmpty()) return;
    QPointer<QComboBox> c = pickOne(lists, r);
    const int index = int(r() % uint64_t(c->count()));
    log(QString("  choose item %1 \"%2\" of %3").arg(index).arg(c->itemText(index), nameOf(c)));
    // What the list does when the user picks an item from it.
    c->setCurrentIndex(index);
    if (c) emit c->activated(index);
    if (c) emit c->textActivated(c->itemText(index));
}

void Monkey::slider(Rng& r)
{
    const QList<QAbstractSlider*> sliders = shownControls<QAbstractSlider>(true);
    if (sliders.isEmpty()) return;
    QPointer<QAbstractSlider> s = pickOne(sliders, r);
    const int span = std::max(1, s->maximum() - s->minimum() + 1);
    switch (r() % 3) {
    case 0: {
        static const QList<QAbstractSlider::SliderAction> steps = {
            QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
            QAbstractSlider::SliderPageStepAdd,   QAbstractSlider::SliderPageStepSub,
            QAbstractSlider::SliderToMinimum,     QAbstractSlider::SliderToMaximum};
        const auto action = pickOne(steps, r);
        log(QString("  step %1 by action %2").arg(nameOf(s)).arg(int(action)));
        s->triggerAction(action);
        break;
    }
    case 1: {   // a drag of the thumb
        const int moves = 1 + int(r() % 6);
        log(QString("  drag %1 thumb, %2 moves").arg(nameOf(s)).arg(moves));
        s->setSliderDown(true);
        for (int i = 0; i < moves && s; ++i) s->setSliderPosition(s->minimum() + int(r() % uint64_t(span)));
        if (s) s->setSliderDown(false);
        break;
    }
    default:
        log("  click on " + nameOf(s));
        QTest::mouseClick(s, Qt::LeftButton, {}, pointIn(s, r));
        break;
    }
}

void Monkey::picture(Rng& r)
{
    const QList<PictureSurface*> pictures = shownControls<PictureSurface>();
    if (pictures.isEmpty()) return;
    QPointer<PictureSurface> p = pickOne(pictures, r);
    const QString name = nameOf(p);
    switch (r() % 5) {
    case 0:
        log("  click on " + name);
        QTest::mouseClick(p, Qt::LeftButton, {}, pointIn(p, r));
        break;
    case 1: {
        const QPoint at = pointIn(p, r);
        log("  double-click on " + name);
        QTest::mousePress(p, Qt::LeftButton, {}, at);
        if (p) QTest::mouseRelease(p, Qt::LeftButton, {}, at);
        if (p) QTest::mouseDClick(p, Qt::LeftButton, {}, at);
        if (p) QTest::mouseRelease(p, Qt::LeftButton, {}, at);
        break;
    }
    case 2:
        log("  right-click on " + name);
        QTest::mouseClick(p, Qt::RightButton, {}, pointIn(p, r));
        break;
    case 3: {   // a drag, out past the edges now and then
        const int moves = 1 + int(r() % 8);
        log(QString("  drag on %1, %2 moves").arg(name).arg(moves));
        QTest::mousePress(p, Qt::LeftButton, {}, pointIn(p, r));
        for (int i = 0; i < moves && p; ++i) QTest::mouseMove(p, pointIn(p, r, 40));
        if (p) QTest::mouseRelease(p, Qt::LeftButton, {}, pointIn(p, r, 40));
        break;
    }
    default:
        log("  hover over " + name);
        QTest::mouseMove(p, pointIn(p, r));
        break;
    }
    if (!p) letGoOfMouse();
}

void Monkey::wheel(Rng& r)
{
    const QList<QWidget*> widgets = shownControls<QWidget>(true);
    if (widgets.isEmpty()) return;
    QWidget* w = pickOne(widgets, r);
    const QPoint at = pointIn(w, r);
    const int delta = r() % 2 ? 120 : -120;
    log(QString("  wheel %1 on %2").arg(delta).arg(nameOf(w)));
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

void Monkey::text(Rng& r)
{
    static const QStringList texts = {"",         "udp",      "tcp port 80", "icmp or arp", "port 40007",
                                      "((",       "host 300.1.2.3", "not ip6", QString(300, 'a'), "ÿ\t\\"};
    const QList<QLineEdit*> edits = shownControls<QLineEdit>(true);
    if (edits.isEmpty()) return;
    QPointer<QLineEdit> e = pickOne(edits, r);
    const QString typed = pickOne(texts, r);
    const bool enter = r() % 2;
    log(QString("  type \"%1\"%2 into %3").arg(typed.left(20), enter ? " and Enter" : "", nameOf(e)));
    e->window()->activateWindow();
    e->setFocus(Qt::TabFocusReason);
    QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
    if (e) QTest::keyClicks(e, typed);
    if (e && enter) QTest::keyClick(e, Qt::Key_Return);
}

void Monkey::resize(Rng& r)
{
    const QList<QWidget*> windows = shownWindows();
    if (windows.isEmpty()) return;
    QWidget* w = pickOne(windows, r);
    // Tiny, ordinary, or up to a whole 1920 x 1200 screen.
    static const int bands[][4] = {{1, 40, 1, 40}, {100, 900, 100, 700}, {900, 1920, 700, 1200}};
    const auto& band = bands[r() % 3];
    const int width = band[0] + int(r() % uint64_t(band[1] - band[0] + 1));
    const int height = band[2] + int(r() % uint64_t(band[3] - band[2] + 1));
    log(QString("  resize %1 to %2x%3").arg(nameOf(w)).arg(width).arg(height));
    w->resize(width, height);
}

void Monkey::close(Rng& r)
{
    QList<QWidget*> windows = shownWindows();
    windows.removeAll(frmMain());   // its close box ends the program
    if (windows.isEmpty()) return;
    QWidget* w = pickOne(windows, r);
    log("  close " + nameOf(w));
    w->close();
}

void Monkey::load(Rng& r) { trigger(r() % 2 ? "LoadData" : "LoadCapture"); }

void Monkey::save(Rng&) { trigger("SaveData"); }

void Monkey::screenshot(Rng& r)
{
    if (r() % 4 == 0 && trigger("SaveScreenshot")) return;
    QWidget* player = shownWindowOf("ToolFilters", "frmFilters");
    auto* button = player ? player->findChild<QAbstractButton*>("btnScreenShot") : nullptr;
    if (!button) return;
    log("  click " + nameOf(button));
    button->click();
}

void Monkey::player(Rng& r)
{
    QWidget* player = shownWindowOf("ToolFilters", "frmFilters");
    if (!player) return;
    const QList<QAbstractButton*> buttons = player->findChildren<QAbstractButton*>();
    if (buttons.isEmpty()) return;
    QAbstractButton* b = pickOne(buttons, r);
    log("  click " + nameOf(b));
    QTest::mouseClick(b, Qt::LeftButton);
}

void Monkey::capture(Rng& r)
{
    QWidget* window = shownWindowOf("ToolCapture", "frmCapture");
    if (!window) return;
    if (r() % 2) {
        if (auto* stop = window->findChild<QAbstractButton*>("btnStop")) {
            log("  click " + nameOf(stop));
            stop->click();
        }
        return;
    }
    // Loopback, where this run's own traffic goes, a named pipe (the one the
    // run feeds among the files it opens) or a command from its harmless list.
    const int source = int(r() % 3);
    const char* const names[] = {"lo", "Named pipe", "Command"};
    if (auto* list = window->findChild<QComboBox*>("cmbInterface")) {
        const int entry = source == 0 ? list->findData("lo", Qt::ToolTipRole)
                                       : list->findData(source == 1 ? "pipe" : "command", Qt::UserRole);
        if (entry >= 0) list->setCurrentIndex(entry);
    }
    if (auto* start = window->findChild<QAbstractButton*>("btnStart")) {
        log("  click " + nameOf(start) + " on " + names[source]);
        start->click();
    }
}

void Monkey::traffic(Rng& r)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int datagrams = 1 + int(r() % 60);
    log(QString("  %1 datagrams to loopback").arg(datagrams));
    char payload[1472];
    for (int i = 0; i < datagrams; ++i) {
        to.sin_port = htons(uint16_t(40000 + r() % 16));
        const size_t size = r() % sizeof payload;
        for (size_t b = 0; b < size; ++b) payload[b] = char(r());
        ::sendto(fd, payload, size, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    ::close(fd);
}

void Monkey::feed(Rng& r)
{
    // Only while the capture window reads the pipe: with no reader the open fails at once.
    const int fd = ::open(QFile::encodeName(files_->streamPipe()).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    QFile sample(files_->sampleCapture());
    QByteArray bytes = sample.open(QIODevice::ReadOnly) ? sample.read(64 << 10) : QByteArray();
    bytes.truncate(qsizetype(r() % uint64_t(bytes.size() + 1)));   // ends anywhere, mid-frame too
    const ssize_t written = ::write(fd, bytes.constData(), size_t(bytes.size()));   // what fits
    ::close(fd);
    log(QString("  fed %1 bytes of a capture into the stream pipe").arg(written));
}

void Monkey::wait(Rng& r)
{
    const int ms = int(r() % 300);
    log(QString("  wait %1 ms").arg(ms));
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
