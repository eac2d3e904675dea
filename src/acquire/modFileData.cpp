#include "modFileData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

#include "acquire/fileNames.h"
#include "acquire/frmLoadDataset.h"
#include "acquire/modFileWindow.h"
#include "acquire/modSaveData.h"
#include "core/fileLoader.h"
#include "core/heldFile.h"
#include "core/modLibrary.h"
#include "platform/DialogLayer.h"
#include "platform/yieldPoint.h"
#include "playback/frmFilters.h"
#include "playback/modVisualize.h"
#include "ui/programFolders.h"

namespace {
bool loading = false;

void showStatus(const QString& status) { frmLoadDataset()->lblFileLoadStatusVariable->setText(status); }

// Shows the load in the "Load Dataset" window, whose status is always the
// one that holds now. The window is looked up on every call: a user may
// close it at a yield point, and the next reference makes a fresh hidden one.
class WindowObserver final : public LoadObserver {
public:
    void fileOpened(int64_t size) override
    {
        size_ = size;
        frmLoadDataset()->lblFileSizeVariable->setText(QString::number(size));
    }
    void fileRead() override
    {
        frmLoadDataset()->setProgressRange(size_);
        // The overwrite question comes next when packets are held, unless
        // they are a window of the file being moved along it.
        showStatus(getPacketCount() > 0 && !heldFile().windowInStore() ? "Waiting for your answer" : "Reading");
    }
    void storeReset() override
    {
        showStatus("Reading");
        clearVisualizations();
    }
    void progress(int64_t position) override { frmLoadDataset()->setProgressPosition(position); }
    void yieldPoint() override { ::yieldPoint(); }
    void capacityReached(int32_t capacity) override
    {
        showStatus(QString("Cut at %1 packets").arg(capacity));
        dialogs().messageBox(QString("Packets in file exceeded buffer.  Only the first %1 packets will be used.").arg(capacity),
                             applicationTitle(), MsgButtons::Ok, MsgIcon::None);
    }
    bool countPastCapacity() override { return false; }   // the rest of the file is ignored

private:
    int64_t size_ = 0;
};

void warn(const QString& text) { dialogs().messageBox(text, "Warning", MsgButtons::Ok, MsgIcon::Exclamation); }
}

LoadRunning::LoadRunning() { loading = true; }
LoadRunning::~LoadRunning() { loading = false; }

void loadWith(const FileLoad& load, const QString& path, bool keepChooser)
{
    if (refuseWhileLoading()) return;
    loading = true;

    // Nothing of the previous file stays on show.
    if (!keepChooser) frmLoadDataset()->hideWindowChooser();
    showStatus("Opening");
    frmLoadDataset()->lblFileSizeVariable->clear();
    frmLoadDataset()->setProgressRange(1);   // an empty bar (a range of 0..0 would show it busy)
    frmLoadDataset()->show();
    frmLoadDataset()->raise();
    yieldNow();   // let the window paint
    frmLoadDataset()->lblFileVariable->setText(QDir::toNativeSeparators(path));

    WindowObserver observer;
    const std::string file = fileSystemName(path);
    const LoadReport report = load(file, observer);
    // The chooser stays only while there is still a file to choose from.
    const bool stay = keepChooser && heldFile().held();
    if (report.error == LoadError::Cancelled) {   // the overwrite question: nothing loaded, nothing changed
        if (!stay) frmLoadDataset()->hide();
        loading = false;
        return;
    }
    if (!report.ok()) showStatus("Failed");
    else if (heldFile().windowInStore()) showStatus("Completed: " + QString::fromStdString(heldFile().caption()));
    else if (!report.capped) showStatus("Completed");
    if (report.error == LoadError::NotDataset) {
        warn("This is not a nivora format file");
    } else if (!report.ok()) {
        warn(displayText(report.message));
    } else {
        QStringList notes;
        for (const std::string& note : loadNotes(report, file)) notes << displayText(note);
        if (!notes.isEmpty()) warn(notes.join("\n\n"));
    }

    // Packets added behind others exist in no file; a file's own packets do.
    if (report.packetsStored > 0) setHeldPacketsUnsaved(report.firstPacket > 1);
    if (!stay) frmLoadDataset()->hide();
    loading = false;
    frmFilters()->initFilters();
    // The packets this load added: behind the held ones when the reset was declined.
    displayPackets(report.firstPacket, report.lastPacket);
}

namespace {
// The folder the last open dialog was left in; the sample dataset's folder
// the first time. Kept for this run only.
QString& lastFolder()
{
    static QString folder;
    if (folder.isEmpty()) folder = sampleFolder();
    return folder;
}

const QString kCaptureFiles = QStringLiteral("Capture files (*.pcap *.pcapng *.cap *.pcap.gz *.pcapng.gz *.cap.gz)");
const QString kDatasets = QStringLiteral("nivora datasets (*.nivora *.nivora.gz)");
const QString kAllFiles = QStringLiteral("All files (*)");
}

// The open dialog, in the folder last used; a cancelled dialog does nothing.
static void openWith(const QString& title, const QString& filter, void (*load)(const QString&))
{
    if (refuseWhileLoading()) return;
    const QString path = dialogs().openFileName(title, lastFolder(), filter);
    if (path.isEmpty()) return;
    lastFolder() = QFileInfo(path).absolutePath();
    load(path);
}

bool refuseWhileLoading()
{
    // The load lets events run between records; a second load (or a save)
    // started then would mix its packets with this one's or save half a file.
    if (!loading) return false;
    dialogs().messageBox("A file is still loading. Please wait until it has finished.", applicationTitle(),
                         MsgButtons::Ok, MsgIcon::Information);
    return true;
}

void openDataset()
{
    // A dataset is known by its first bytes, not its name: every file is
    // shown, and a capture file chosen here loads as one.
    openWith("Open nivora dataset", QStringList{kAllFiles, kDatasets, kCaptureFiles}.join(";;"), loadAnyDataFile);
}

void loadAnyDataFile(const QString& path)
{
    if (!offerFileWindows(path)) loadWith(loadAnyFile, path);
}

void loadDataset(const QString& path) { loadWith(loadDatasetFile, path); }

void openCaptureFile()
{
    openWith("Open capture file", QStringList{kCaptureFiles, kAllFiles}.join(";;"), loadCapture);
}

void loadCapture(const QString& path)
{
    if (!offerFileWindows(path)) loadWith(loadCaptureFile, path);
}
