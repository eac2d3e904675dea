// Loading a full dataset: 30000 records of 1585-byte frames (about 48 MB),
// read + scan + store + decode, without drawing. Compared with only reading
// the same file into memory already touched. And importing the same frames as a
// pcap with their capture times kept, compared with the same import storing no times.
// And the same frames as pcapng: read by our own reader, which keeps comments,
// against libpcap's (how pcapng was read before), and with a comment on every frame.
#include <pcap/pcap.h>

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
#include "core/datasetWriter.h"
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

// The whole-file import as it was before comments were read: libpcap's own reader.
double importThroughLibpcap(const std::string& path)
{
    resetBuffer("startup");
    const auto t0 = Clock::now();
    char error[PCAP_ERRBUF_SIZE];
    pcap_t* p = pcap_open_offline_with_tstamp_precision(path.c_str(), PCAP_TSTAMP_PRECISION_NANO, error);
    pcap_pkthdr* h;
    const u_char* bytes;
    while (p && pcap_next_ex(p, &h, &bytes) == 1 && getPacketCount() < kSlotCount)
        addPacket(bytes, int(std::min(h->caplen, bpf_u_int32(kSlotBytes))) - 1, pcapFrameTime(h->ts.tv_sec, h->ts.tv_usec, false));
    if (p) pcap_close(p);
    return ms(Clock::now() - t0);
}

// The frames of `from` as pcapng, each with the comment "finding N".
void writeCommented(const std::string& from, const std::string& to)
{
    auto source = makeCaptureSource();
    LoadReport report;
    LoadObserver quiet;
    FrameWriter writer(to);
    if (!source->open(from, report, quiet) || !writer.open()) return;
    int64_t n = 0;
    source->forEachFrame(report, [&](const SourceFrame& f) {
        const FrameComments comments{"finding " + std::to_string(++n)};
        return writer.add(f.data, f.size, f.stamp, &comments);
    });
    writer.finish();
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

    const std::string ng = (dir.path() + "/full.pcapng").toStdString(), commented = (dir.path() + "/commented.pcapng").toStdString();
    convertFile(path, ng);
    writeCommented(pcap, commented);
    double ours = 1e9, libpcap = 1e9, withComments = 1e9;
    for (int round = 0; round < 9; ++round) {
        ours = std::min(ours, import(ng));
        libpcap = std::min(libpcap, importThroughLibpcap(ng));
        withComments = std::min(withComments, import(commented));
    }
    std::printf("pcapng import: %.1f ms, libpcap's reader %.1f ms, a comment on every frame %.1f ms\n", ours, libpcap,
                withComments);
    tableRow("pcapng import, 30000 frames, no comments", benchFigure("%.1f ms", ours), "<= 1.05x libpcap's reader",
             benchFigure("libpcap %.1f ms", libpcap), ours / libpcap);
    tableRow("pcapng import, a comment on every frame", benchFigure("%.1f ms", withComments), "<= 1.3x no comments",
             benchFigure("no comments %.1f ms", ours), withComments / ours);

    // The same load with the playback window's counter and range updated per packet.
    setStoreHost(&guiStoreHost());
    const double withWindow = best(load, path, 3);
    setStoreHost(nullptr);
    std::printf("same, playback window kept current: %7.1f ms  ratio %.2f\n", withWindow, withWindow / read);
    return 0;
}
