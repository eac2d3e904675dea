#pragma once
// Loading recorded traffic from the File menu: nivora datasets and pcap/pcapng
// captures. Both show the "Load Dataset" window while they run, ask before
// replacing held packets, then hand the new packets to the views.
#include <QString>

// "&Load Nivora Dataset": the open dialog, then loadDataset.
void openDataset();
void loadDataset(const QString& path);

// "Open &Capture File...": the open dialog, then loadCapture.
void openCaptureFile();
void loadCapture(const QString& path);

// While a load runs (it lets events run between records), tells the user to
// wait and returns true.
bool refuseWhileLoading();
