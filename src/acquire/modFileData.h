#pragma once
// Loading recorded traffic from the File menu: nivora datasets and pcap/pcapng
// captures. Both show the "Load Dataset" window while they run, ask before
// replacing held packets, then hand the new packets to the views.
#include <QString>
#include <functional>
#include <string>

#include "core/loadReport.h"

// "&Load Nivora Dataset": the open dialog (every file shown, datasets and
// capture files one choice away, in the folder last used), then
// loadAnyDataFile.
void openDataset();
void loadDataset(const QString& path);
// A dataset, pcap or pcapng file, told apart by its first bytes.
void loadAnyDataFile(const QString& path);

// "Open &Capture File...": the open dialog, then loadCapture.
void openCaptureFile();
void loadCapture(const QString& path);

// While a load runs (it lets events run between records), tells the user to
// wait and returns true.
bool refuseWhileLoading();

// A load as the File menu runs it: in the "Load Dataset" window, asking
// before replacing held packets, telling what went wrong or was left out,
// then drawing the new packets. The window goes when the load is done,
// unless `keepChooser` asks it to stay with the held file's window chooser.
using FileLoad = std::function<LoadReport(const std::string& file, LoadObserver& observer)>;
void loadWith(const FileLoad& load, const QString& path, bool keepChooser = false);

// Marks a load (or an index pass) as running for its lifetime.
struct LoadRunning {
    LoadRunning();
    ~LoadRunning();
};
