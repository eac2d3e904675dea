// A capture of 1,000,000 frames of mixed sizes (nivora-cli synth): its index
// in one pass beside `tcpdump -r FILE -w /dev/null` (best of 3 each), a
// 30000-frame window loaded into the store through the index, the peak
// memory of the program with a window of it held, and of nivora-cli info on it.
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "acquire/modFileWindow.h"
#include "app/frmMain.h"
#include "benchProcess.h"
#include "benchTable.h"
#include "benchTiming.h"
#include "core/frameWindow.h"
#include "core/modLibrary.h"

namespace {
double megabytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0) return std::stod(line.substr(std::string(field).size())) / 1024.0;
    return 0;
}

}

int main(int argc, char** argv)
{
    const std::filesystem::path bin = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    const std::string cli = (bin / "nivora-cli").string();
    char folder[] = "/tmp/bench_bigfile-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    const std::string file = std::string(folder) + "/big.pcap";
    run({cli, "synth", "--count", "1000000", file});
    run({"/bin/cat", file});   // into the page cache
    std::printf("file: 1,000,000 frames, %.0f MB, in the page cache\n", double(std::filesystem::file_size(file)) / 1e6);
    // First, while this process is small: a child's peak memory starts from its parent's.
    const Run info = run({cli, "info", file});
    std::printf("nivora-cli info: %.2f s, peak %.1f MB\n", info.ms / 1e3, info.peakMB);
    tableRowAgainstTarget("nivora-cli info on it, peak memory", benchFigure("%.0f MB", info.peakMB), "<= 60 MB",
                          info.peakMB / 60.0);

    LoadObserver quiet;
    FrameIndex index;
    const double indexing = bestSeconds(3, [&] { index = indexFile(file, quiet); });
    std::printf("index: %.3f s, %lld frames, %zu points every %lld frames\n", indexing, (long long)index.frames,
                index.points.size(), (long long)index.stride);
    for (const char* tcpdump : {"/usr/bin/tcpdump", "/usr/sbin/tcpdump"}) {
        if (!std::filesystem::exists(tcpdump)) continue;
        const double peer = bestOf(3, {tcpdump, "-r", file, "-w", "/dev/null"}).ms / 1e3;
        std::printf("tcpdump -r FILE -w /dev/null: %.3f s\n", peer);
        tableRow("index of a 1,000,000-frame pcap", benchFigure("%.2f s", indexing), "<= 1.5x tcpdump",
                 benchFigure("tcpdump -r -w /dev/null %.2f s", peer), indexing / peer);
        break;
    }

    int64_t first = 1;
    const double window = bestSeconds(3, [&] {
        first += 333331;   // another part of the file each time
        loadIndexedWindow(index, windowAt(first, index.frames, kSlotCount), quiet);
    });
    std::printf("a 30000-frame window through the index into the store: %.3f s\n", window);
    tableRowAgainstTarget("a 30000-frame window of it loaded, after the index", benchFigure("%.3f s", window),
                          "<= 0.3 s", window / 0.3);

    // The program as the user has it: opened from the File menu, the middle window loaded and drawn.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    frmMain()->show();
    QCoreApplication::processEvents();
    offerFileWindows(QString::fromStdString(file));
    loadFileWindow(500001);
    const double peak = megabytes("VmHWM:");
    std::printf("program with the window 500001-530000 held and drawn: peak %.1f MB\n", peak);
    tableRowAgainstTarget("program holding a window of it, peak memory", benchFigure("%.0f MB", peak), "<= 150 MB",
                          peak / 150.0);
    std::filesystem::remove_all(folder);
    return 0;
}
