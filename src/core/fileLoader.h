#pragma once
// Loading a file into the packet store, the same way for the program and the
// CLI: open and check the file, resetBuffer("file") (which asks before
// emptying a store that holds packets; after No the new packets go behind the
// old ones), then add every frame until the store's 30000 are reached.
#include <string>

#include "loadReport.h"

LoadReport loadDatasetFile(const std::string& path, LoadObserver& observer);
LoadReport loadCaptureFile(const std::string& path, LoadObserver& observer);
// A dataset, pcap or pcapng file, told apart by its first bytes.
LoadReport loadAnyFile(const std::string& path, LoadObserver& observer);
// The frames a source hands over, by the same rules.
class FrameSource;
LoadReport loadFromSource(FrameSource& source, const std::string& path, LoadObserver& observer);
