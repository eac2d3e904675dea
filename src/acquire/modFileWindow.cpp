#include "modFileWindow.h"

#include <QApplication>
#include <QDir>
#include <QLabel>

#include "acquire/fileNames.h"
#include "acquire/frmLoadDataset.h"
#include "acquire/modFileData.h"
#include "core/heldFile.h"
#include "core/modLibrary.h"
#include "core/storeHost.h"
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

void loadWindow(const FrameWindow& window)
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
        displayText(file.index().path));
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
    if (!index.ok() || (index.frames <= kSlotCount && index.report.otherLinkFrames == 0)) return false;
    if (index.frames <= kSlotCount) {
        // Loaded whole all the same, through the index: the whole-file reader
        // stops at the first interface that is not Ethernet.
        const FrameWindow all{1, index.frames};
        loadWith([&](const std::string&, LoadObserver& observer) { return loadIndexedWindow(index, all, observer); }, path);
        return true;
    }
    frmLoadDataset()->setProgressPosition(index.identity.size);

    const int64_t frames = index.frames;
    frmLoadDataset()->lblFileLoadStatusVariable->setText(
        QString("%1 frames: choose the %2 to load").arg(QString::fromStdString(groupedNumber(frames))).arg(kSlotCount));
    frmLoadDataset()->showWindowChooser(index.overview, frames, 1, index.timeAxisUsable() ? &index.byTime : nullptr,
                                        index.farTimes);
    heldFile().hold(std::move(index));
    return true;
}

void loadFileWindow(int64_t first)
{
    if (!heldFile().held()) return;
    loadWindow(windowAt(first, heldFile().index().frames, kSlotCount));
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
