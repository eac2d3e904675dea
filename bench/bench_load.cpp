// Loading a full dataset: 30000 records of 1585-byte frames (about 48 MB),
// read + scan + store + decode, without drawing. Compared with only reading
// the same file into memory already touched. And importing the same frames as a
// pcap with their capture times kept, compared with the same import storing no times.
#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <vector>

#include "app/guiStoreHost.h"
#include "core/datasetFormat.h"
#include "core/fileConvert.h"
#include "core/fileLoader.h"
#include "core/frameSource.h"
#include "core/modLibrary.h"
#include "core/storeHost.h"
#include "benchTable.h"
#include "benchTraffic.h"

namespace {
using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Reads the file into a buffer touched before the clock starts: the load
// writes into the store allocated at start-up, so the reference must not pay
// the page faults of a fresh buffer either.
double readOnly(const std::string& path)
{
    static std::vector<char> buffer;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    const size_t size = size_t(std::ftell(f));
    std::fseek(f, 0, SEEK_SET);
    if (buffer.size() < size) buffer.assign(size, 1);
    const auto t0 = Clock::now();
    const size_t got = std::fread(buffer.data(), 1, size, f);
    const double t = ms(Clock::now() - t0);
    std::fclose(f);
    if (got != size) std::fprintf(stderr, "short read\n");
    return t;
}

// One load into the store the program allocates at start-up.
double timeLoad(LoadReport (*loader)(const std::string&, LoadObserver&), const std::string& path)
{
    resetBuffer("startup");
    LoadObserver quiet;
    const auto t0 = Clock::now();
    const LoadReport report = loader(path, quiet);
    const double t = ms(Clock::now() - t0);
    if (report.packetsStored != kSlotCount) std::fprintf(stderr, "stored %lld\n", (long long)report.packetsStored);
    return t;
}
double load(const std::string& path) { return timeLoad(loadDatasetFile, path); }
double import(const std::string& path) { return timeLoad(loadCaptureFile, path); }

// The import as it was before the store kept times: the loader's own steps,
// every frame stored without one.
double importWithoutTimes(const std::string& path)
{
    resetBuffer("startup");
    LoadObserver quiet;
    LoadObserver& observer = quiet;
    LoadReport report;
    const auto t0 = Clock::now();
    auto source = makeCaptureSource();
    if (source->open(path, report, observer)) {
        resetBuffer("file");
        observer.storeReset();
        source->forEachFrame(report, [&](const SourceFrame& frame) {
            if (report.packetsStored == kSlotCount) return observer.countPastCapacity();
            if (frame.size > size_t(kSlotBytes)) ++report.truncatedFrames;
            addPacket(frame.data, int(std::min(frame.size, size_t(kSlotBytes))) - 1);
            ++report.packetsStored;
            observer.progress(frame.position);
            observer.yieldPoint();
            return true;
        });
    }
    return ms(Clock::now() - t0);
}

double best(double (*run)(const std::string&), const std::string& path, int times)
{
    double t = 1e9;
    for (int i = 0; i < times; ++i) t = std::min(t, run(path));
    return t;
}
}

int main(int argc, char** argv)
{
    // "--write PATH": only write the benchmark dataset, for scripts/bench's comparisons with other tools.
    if (argc == 3 && std::string(argv[1]) == "--write") {
        writeDataset(argv[2]);
        return 0;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const std::string path = (dir.path() + "/full.nivora").toStdString();
    writeDataset(path);
    readOnly(path);   // warm the page cache

    const double read = best(readOnly, path, 7);
    const double core = best(load, path, 7);
    std::printf("file: 30000 records x 1585 bytes, %.1f MB\n", 30000.0 * 1601 / 1e6);
    std::printf("read into memory only:               %7.1f ms\n", read);
    std::printf("load (read+scan+store+decode):       %7.1f ms  ratio %.2f  (target < 150 ms)\n", core, core / read);
    tableRow("dataset load, 30000 records, 48 MB, no drawing", benchFigure("%.1f ms", core), "<= 2x reading",
             benchFigure("reading %.1f ms", read), core / read);

    const std::string pcap = (dir.path() + "/full.pcap").toStdString();
    convertFile(path, pcap);
    readOnly(pcap);
    double withTimes = 1e9, without = 1e9;
    for (int round = 0; round < 9; ++round) {   // alternated, so both meet the same machine
        withTimes = std::min(withTimes, import(pcap));
        without = std::min(without, importWithoutTimes(pcap));
    }
    std::printf("pcap import, times kept:             %7.1f ms  without times %.1f ms  ratio %.3f\n", withTimes, without,
                withTimes / without);
    tableRow("pcap import, 30000 frames, capture times kept", benchFigure("%.1f ms", withTimes), "<= 1.05x no times",
             benchFigure("no times %.1f ms", without), withTimes / without);

    // The same load with the playback window's counter and range updated per packet.
    setStoreHost(&guiStoreHost());
    const double withWindow = best(load, path, 3);
    setStoreHost(nullptr);
    std::printf("same, playback window kept current: %7.1f ms  ratio %.2f\n", withWindow, withWindow / read);
    return 0;
}
