// The 1,000,000-frame capture of nivora-cli synth as a Linux cooked v2
// capture (what `tcpdump -i any` writes) and gzip-compressed: the cooked
// capture indexed beside `tcpdump -r FILE -w /dev/null`, its fields beside
// tshark's; info of the compressed file beside `zcat FILE | tcpdump -r - -w
// /dev/null`, and a window of it loaded through its index. Best of 3 each.
#include <pcap/pcap.h>

#include <QElapsedTimer>
#include <algorithm>
#include <filesystem>

#include "benchProcess.h"
#include "benchTable.h"
#include "benchTiming.h"
#include "core/frameStream.h"
#include "core/frameWindow.h"
#include "core/gzipFile.h"
#include "core/modLibrary.h"

namespace {

// The Ethernet capture `in` with each Ethernet header replaced by a Linux cooked v2 one.
void writeCooked(const std::string& in, const std::string& out)
{
    LoadReport report;
    const auto stream = openFrameStream(in, report);
    pcap_t* dead = pcap_open_dead_with_tstamp_precision(DLT_LINUX_SLL2, 262144, PCAP_TSTAMP_PRECISION_NANO);
    pcap_dumper_t* dumper = pcap_dump_open(dead, out.c_str());
    std::vector<uint8_t> cooked;
    stream->read(report, stream->start(), [&](const StreamFrame& f) {
        const uint8_t* e = f.frame.data;
        if (f.frame.size < 14) return true;
        cooked.assign({e[12], e[13], 0, 0, 0, 0, 0, 2, 0, 1, 0, 6});   // protocol, interface, ARPHRD_ETHER, to us, 6-byte address
        cooked.insert(cooked.end(), e + 6, e + 12);
        cooked.insert(cooked.end(), 2, 0);
        cooked.insert(cooked.end(), e + 14, e + f.frame.size);
        pcap_pkthdr h{};
        h.ts.tv_sec = secondsOf(f.frame.stamp->time);
        h.ts.tv_usec = nanosecondsOf(f.frame.stamp->time);
        h.caplen = h.len = bpf_u_int32(cooked.size());
        pcap_dump(reinterpret_cast<u_char*>(dumper), &h, cooked.data());
        return true;
    });
    pcap_dump_close(dumper);
    pcap_close(dead);
}
}

int main()
{
    const std::filesystem::path bin = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    const std::string cli = (bin / "nivora-cli").string();
    char folder[] = "/tmp/bench_linktypes-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    const std::string plain = std::string(folder) + "/big.pcap", cooked = std::string(folder) + "/cooked.pcap";
    run({cli, "synth", "--count", "1000000", plain});
    writeCooked(plain, cooked);
    run({"/bin/gzip", "-k", plain});
    const std::string compressed = plain + ".gz";
    for (const std::string& f : {cooked, compressed}) run({"/bin/cat", f});   // into the page cache

    LoadObserver quiet;
    FrameIndex index;
    const double indexing = bestSeconds(3, [&] { index = indexFile(cooked, quiet); });
    const Run tcpdump = bestOf(3, {"/usr/bin/tcpdump", "-r", cooked, "-w", "/dev/null"});
    std::printf("Linux cooked v2, %lld frames, %.0f MB: indexed in %.3f s; tcpdump -r -w /dev/null %.3f s\n",
                (long long)index.frames, double(std::filesystem::file_size(cooked)) / 1e6, indexing, tcpdump.ms / 1e3);
    tableRow("index of a 1,000,000-frame Linux cooked capture", benchFigure("%.2f s", indexing), "<= 1.5x tcpdump",
             benchFigure("tcpdump -r -w /dev/null %.2f s", tcpdump.ms / 1e3), indexing * 1e3 / tcpdump.ms);

    const Run fields = bestOf(3, {cli, "fields", cooked});
    std::vector<std::string> tshark = {"/usr/bin/tshark", "-n", "-r", cooked, "-T", "fields"};
    for (const char* f : {"frame.len", "eth.type", "ip.version", "ip.hdr_len", "ip.dsfield", "ip.len", "ip.id", "ip.flags",
                          "ip.frag_offset", "ip.ttl", "ip.proto", "ip.checksum", "ip.src", "ip.dst", "tcp.srcport",
                          "tcp.dstport", "udp.srcport", "udp.dstport"})
        tshark.insert(tshark.end(), {"-e", f});
    const Run theirs = run(tshark);
    std::printf("fields of it: nivora-cli %.2f s, tshark %.2f s\n", fields.ms / 1e3, theirs.ms / 1e3);
    tableRow("nivora-cli fields, Linux cooked capture", benchFigure("%.2f s", fields.ms / 1e3), ">= 20x faster than tshark",
             benchFigure("tshark -T fields %.1f s", theirs.ms / 1e3), fields.ms / theirs.ms);

    const Run info = bestOf(3, {cli, "info", compressed});
    const Run zcat = bestOf(3, {"/bin/sh", "-c", "zcat '" + compressed + "' | /usr/bin/tcpdump -r - -w /dev/null"});
    std::printf("gzip-compressed, %.0f MB: nivora-cli info %.2f s, peak %.0f MB; zcat | tcpdump %.2f s\n",
                double(std::filesystem::file_size(compressed)) / 1e6, info.ms / 1e3, info.peakMB, zcat.ms / 1e3);
    tableRow("nivora-cli info, 1,000,000-frame pcap gzip-compressed", benchFigure("%.2f s", info.ms / 1e3),
             "<= 1.3x zcat | tcpdump", benchFigure("zcat | tcpdump -r - %.2f s", zcat.ms / 1e3), info.ms / zcat.ms);

    index = indexFile(compressed, quiet);
    const FrameWindow last = windowAt(index.frames, index.frames, kSlotCount), middle = windowAt(500001, index.frames, kSlotCount);
    double window = 0;
    for (const FrameWindow& w : {last, middle})
        window = std::max(window, bestSeconds(3, [&] { loadIndexedWindow(index, w, quiet); }));
    std::printf("a 30000-frame window of it after the index (%zu access points every %lld bytes): %.3f s\n",
                index.layout.inflate ? index.layout.inflate->points.size() : 0,
                index.layout.inflate ? (long long)index.layout.inflate->span : 0LL, window);
    tableRowAgainstTarget("a window of the compressed capture, loaded after its index", benchFigure("%.2f s", window),
                          "<= 1 s", window);
    std::filesystem::remove_all(folder);
    return 0;
}
