#include "modFileWindow.h"

#include <QApplication>
#include <QDir>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "acquire/fileNames.h"
#include "acquire/frmLoadDataset.h"
#include "acquire/modFileData.h"
#include "acquire/overviewStrip.h"
#include "core/heldFile.h"
#include "core/showOnly.h"
#include "core/modLibrary.h"
#include "core/storeHost.h"
#include "core/timeWindow.h"
#include "platform/DialogLayer.h"
#include "platform/yieldPoint.h"

namespace {
// The index pass in the "Load Dataset" window: its size and the progress through it.
class IndexObserver final : public LoadObserver {
public:
    void fileOpened(int64_t size) override
    {
        frmLoadDataset()->lblFileSizeVariable->setText(QString::number(size));
        frmLoadDataset()->setProgressRange(size);
    }
    void progress(int64_t position) override { frmLoadDataset()->setProgressPosition(position); }
    void yieldPoint() override { ::yieldPoint(); }
};

// While the store holds a window of the file, replacing it by another loses
// nothing: the overwrite question is answered Yes without asking.
class WindowMoveHost final : public StoreHost {
public:
    explicit WindowMoveHost(StoreHost& program) : program_(program) { setStoreHost(this); }
    ~WindowMoveHost() override { setStoreHost(&program_); }
    void showPacketCounter(int64_t count) override { program_.showPacketCounter(count); }
    void showPacketRange(int64_t count, int64_t first) override { program_.showPacketRange(count, first); }
    Answer confirmOverwrite() override { return Answer::Yes; }
    void clearVisualizations() override { program_.clearVisualizations(); }

private:
    StoreHost& program_;
};

// The chooser for the indexed file, its window at `first`: along the time when the time shows the file.
void showChooser(const FrameIndex& index, int64_t first)
{
    const bool byTime = index.timeAxisUsable();
    frmLoadDataset()->showWindowChooser(index.overview, index.frames, first, byTime ? &index.byTime : nullptr, index.farTimes);
    frmLoadDataset()->picOverview->setTimeOrigin(index.byTimeOrigin);
}

// A find's progress in the "Load Dataset" window, letting events run (Stop among them).
bool stopAsked = false;
class FindProgress final : public FindObserver {
public:
    void progress(int64_t position, int64_t matches) override
    {
        frmLoadDataset()->setProgressPosition(position);
        frmLoadDataset()->showFindRunning(true, matches);
        ::yieldPoint();
    }
    bool stopRequested() override { return stopAsked; }
};

void tell(const std::string& text)
{
    dialogs().messageBox(QString::fromStdString(text), applicationTitle(), MsgButtons::Ok, MsgIcon::Exclamation);
}

// The held file's index as the file is now: indexed again (and its strip
// redrawn) when it changed. False, after telling why, when it can no longer be read.
bool indexUpToDate()
{
    FrameIndex& index = heldFile().index();
    if (indexIsCurrent(index)) return true;
    {
        LoadRunning running;
        frmLoadDataset()->lblFileLoadStatusVariable->setText("Indexing");
        IndexObserver observer;
        index = indexFile(index.path, observer);
    }
    if (!index.ok()) {
        tell(index.report.message);
        heldFile().forget();
        frmLoadDataset()->hideWindowChooser();
        return false;
    }
    frmLoadDataset()->lblFileLoadStatusVariable->setText(
        QString("%1 frames: choose the %2 to load").arg(QString::fromStdString(groupedNumber(index.frames))).arg(kSlotCount));
    showChooser(index, frmLoadDataset()->chosenFirst());
    return true;
}

// The window's first frame the chooser should show: the store's window of the file, else the one chosen.
int64_t shownFirst()
{
    const auto inStore = heldFile().windowInStore();
    return inStore ? inStore->first : frmLoadDataset()->chosenFirst();
}

// The chooser as the held file stands, shown: its strip with the last find's
// marks and the window at `first` on it.
void showHeldChooser(int64_t first)
{
    const FrameIndex& index = heldFile().index();
    showChooser(index, first);
    if (const FileMatches* matches = heldFile().matches()) frmLoadDataset()->showMatches(*matches, index.timeAxisUsable());
    frmLoadDataset()->show();
}

// A find over the held file, run to its end unless stopped; true when it got
// there. A pass of the same expression that was stopped on the file as it still
// is goes on from where it stopped, unless `afresh`; any other runs from the start.
bool runFind(const FilterExpression& expression, bool afresh)
{
    if (!indexUpToDate()) return false;
    const FrameIndex& index = heldFile().index();
    const FileMatches* kept = heldFile().matches();
    const bool goOn = !afresh && kept && kept->stopped && kept->report.ok() && kept->expression == expression.text() &&
                      kept->identity == index.identity;
    // The pass runs where its progress and Stop are seen.
    if (!frmLoadDataset()->isVisible() || !frmLoadDataset()->fraWindow->isVisible()) showHeldChooser(shownFirst());
    FileMatches found = goOn ? *kept : FileMatches{};
    {
        LoadRunning running;
        stopAsked = false;
        frmLoadDataset()->setProgressRange(index.identity.size);
        frmLoadDataset()->showFindRunning(true, found.count);
        FindProgress progress;
        if (goOn) continueFind(index, expression, found, progress);
        else found = findInIndexedFile(index, expression, progress);
        frmLoadDataset()->showFindRunning(false);
        frmLoadDataset()->setProgressPosition(index.identity.size);
    }
    if (!found.report.ok()) {
        frmLoadDataset()->lblFindResult->clear();
        tell(found.report.message);
        return false;
    }
    frmLoadDataset()->showMatches(found, index.timeAxisUsable());
    const bool complete = found.complete();
    heldFile().keepMatches(std::move(found), expression);
    return complete;
}

// Loads `window` of the held file. With `keepChooser` the chooser stays up
// after it, the window on its strip among the find's marks.
void loadWindow(const FrameWindow& window, bool keepChooser = false)
{
    HeldFile& file = heldFile();
    std::optional<WindowMoveHost> moving;
    if (file.windowInStore()) moving.emplace(storeHost());
    loadWith(
        [&](const std::string&, LoadObserver& observer) {
            const LoadReport report = loadIndexedWindow(file.index(), window, observer);
            moving.reset();
            if (!file.index().ok()) file.forget();   // gone, or no longer a capture: nothing to move along
            if (report.ok()) {
                file.noteLoaded(window, report.firstPacket);
                updatePacketRange();   // the player names the window
            }
            return report;
        },
        displayText(file.index().path), keepChooser);
    if (keepChooser && file.held()) showHeldChooser(shownFirst());
}
}

bool offerFileWindows(const QString& path)
{
    if (refuseWhileLoading()) return true;
    heldFile().forget();
    FrameIndex index;
    {
        LoadRunning running;
        frmLoadDataset()->hideWindowChooser();
        frmLoadDataset()->lblFileVariable->setText(QDir::toNativeSeparators(path));
        frmLoadDataset()->lblFileLoadStatusVariable->setText("Indexing");
        frmLoadDataset()->show();
        frmLoadDataset()->raise();
        yieldNow();   // let the window paint
        IndexObserver observer;
        index = indexFile(fileSystemName(path), observer);
    }
    const bool oneLinkType = index.report.otherLinkFrames == 0 && !index.report.mixedLinkTypes;
    if (!index.ok() || (index.frames <= kSlotCount && oneLinkType)) return false;
    if (index.frames <= kSlotCount) {
        // Loaded whole all the same, through the index: the whole-file reader
        // stops at the first interface of another link type.
        const FrameWindow all{1, index.frames};
        loadWith([&](const std::string&, LoadObserver& observer) { return loadIndexedWindow(index, all, observer); }, path);
        return true;
    }
    frmLoadDataset()->setProgressPosition(index.identity.size);

    const int64_t frames = index.frames;
    frmLoadDataset()->lblFileLoadStatusVariable->setText(
        QString("%1 frames: choose the %2 to load").arg(QString::fromStdString(groupedNumber(frames))).arg(kSlotCount));
    showChooser(index, 1);
    if (const FilterExpression& shown = showOnlyExpression(); !shown.empty())
        frmLoadDataset()->cmbFindInFile->setEditText(QString::fromStdString(shown.text()));
    heldFile().hold(std::move(index));
    return true;
}

void loadFileWindow(int64_t first)
{
    if (!heldFile().held()) return;
    loadWindow(windowAt(first, heldFile().index().frames, kSlotCount));
}

void loadFileWindowAtTime(const QString& text)
{
    if (!heldFile().held() || refuseWhileLoading() || !indexUpToDate()) return;
    const FrameIndex& index = heldFile().index();
    std::string typed = text.trimmed().toStdString();
    const bool bare = !typed.empty() && typed.find_first_not_of("0123456789") == std::string::npos;
    const std::string noSuchFrame = "There is no frame " + typed + ": the file holds " + groupedNumber(index.frames) + " frames.";
    const std::string timeProblem = timeSearchProblem(index);
    if (bare && !timeProblem.empty()) return tell(noSuchFrame);
    if (!timeProblem.empty()) return tell(timeProblem);
    if (!typed.empty() && typed[0] == '@') typed.erase(0, 1);
    CaptureTime time = kNoTime;
    if (!parseCaptureTime(typed, time))
        return tell("\"" + text.toStdString() + "\" is neither a frame number nor a time. Type a local time as the player "
                    "shows it (2023-11-14 23:13:20.5) or @ and seconds since 1970 (@1700000000.5).");
    LoadReport report;
    // A bare number past the last frame is a time when the file was captured then: after its first frame's second.
    const bool inTimes = !bare || time >= index.firstTime / kNsPerSecond * kNsPerSecond;
    const int64_t first = inTimes ? firstFrameAtOrAfter(index, time, report) : 0;
    if (!report.ok()) return tell(report.message);
    if (bare && first == 0)
        return tell(noSuchFrame + " For a time, type @ and seconds since 1970 (@" + typed + ") or a local time as the player "
                    "shows it; the file begins at " + localTimeText(index.firstTime) + ".");
    if (first == 0) return tell("No frame of the file was captured at or after " + localTimeText(time) + ".");
    frmLoadDataset()->chooseFirst(first);
    frmLoadDataset()->txtWindowFirst->setText(QString::number(frmLoadDataset()->chosenFirst()));
    loadWindow(windowAt(first, index.frames, kSlotCount));
}

void findInHeldFile(const QString& text)
{
    if (!heldFile().held() || refuseWhileLoading()) return;
    std::string error;
    const std::optional<FilterExpression> expression = FilterExpression::compile(text.toStdString(), error);
    if (!expression) return tell("Cannot find \"" + text.toStdString() + "\" in the file: " + error);
    runFind(*expression, true);
}

void stopFindInFile() { stopAsked = true; }

bool canLoadMatchWindow(int direction)
{
    (void)direction;   // either way: only the file knows whether a match lies there
    if (!heldFile().held()) return false;
    const FileMatches* matches = heldFile().matches();
    if (!matches) return !frmLoadDataset()->cmbFindInFile->currentText().trimmed().isEmpty();   // found first
    return matches->stopped || matches->count > 0;   // a stopped pass goes on first
}

void loadMatchWindow(int direction)
{
    if (refuseWhileLoading()) return;
    HeldFile& file = heldFile();
    if (file.held() && !file.matches()) {
        // No find run yet: the expression typed in the chooser (or the Show only one put there) is found first.
        const QString typed = frmLoadDataset()->cmbFindInFile->currentText().trimmed();
        if (typed.isEmpty())
            return tell("Nothing has been found in the file yet: type a filter expression in \"Find in file\" of the "
                        "Load Dataset window, then press F3 or Find.");
        findInHeldFile(typed);
        if (!file.held() || !file.matches()) return;
    }
    if (!canLoadMatchWindow(direction)) {
        QApplication::beep();   // no file held, or the find found nothing
        return;
    }
    const FilterExpression expression = file.matchExpression();
    if (!matchesAreCurrent(*file.matches(), file.index(), expression.text()) && (!runFind(expression, false) || !file.held()))
        return;   // stopped again (the chooser says so), or the file could not be read (told)
    const int64_t frames = file.index().frames;
    const auto shown = file.windowInStore();
    const int64_t from = shown ? (direction > 0 ? shown->last : shown->first) : (direction > 0 ? 0 : frames + 1);
    LoadReport report;
    const int64_t match = nearestMatch(file.index(), *file.matches(), expression, from, direction, report);
    if (!report.ok()) return tell(report.message);
    if (match == 0) {
        QApplication::beep();   // none beyond the window this way
        return;
    }
    loadWindow(windowAt(match, frames, kSlotCount), true);
}

bool canLoadNeighbourWindow(int direction)
{
    return heldFile().windowInStore() && heldFile().neighbour(direction);
}

void loadNeighbourWindow(int direction)
{
    if (refuseWhileLoading()) return;
    if (!canLoadNeighbourWindow(direction)) {
        QApplication::beep();   // at the file's end, or no window of it held
        return;
    }
    loadWindow(*heldFile().neighbour(direction));
}
