// Seed files for the fuzz targets, from our own generators: the sample traffic
// of nivora-cli synth and the frames the tests build, as datasets, pcap and
// pcapng captures (gzip-compressed too, and of Linux cooked frames as
// `tcpdump -i any` records them), and length-prefixed frame lists for the
// writer's round trip.
//   makeSeeds FOLDER   (writes FOLDER/<target>/seed-*)
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "cli/sampleTraffic.h"
#include "core/datasetFormat.h"
#include "core/datasetWriter.h"
#include "support/frames.h"

namespace {
using Bytes = std::vector<uint8_t>;

void save(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Bytes readBack(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The test builders' frames, the awkward ones included: the trailer inside a
// frame, a frame of '>' bytes, one too long for a dataset, a one-byte frame.
std::vector<Frame> awkwardFrames()
{
    std::vector<Frame> all = {frames::ipv4(60, 6, 1234, 80), frames::ipv4(61, 17, 53, 5353, 7),
                              frames::ipv4(98, 1), frames::ipv4(300, 6, 0, 0, 5, '>'), frames::ipv4(1600, 17),
                              Frame{0x42}};
    Frame trailer = frames::ipv4(80, 6);
    std::copy(kRecordTrailer.begin(), kRecordTrailer.end(), trailer.begin() + 30);
    all.push_back(trailer);
    return all;
}

std::string written(const std::string& path, const std::vector<Frame>& frames)
{
    FrameWriter writer(path);
    if (writer.open()) {
        FrameStamp stamp;
        int64_t microseconds = 0;
        for (const Frame& f : frames) {
            microseconds = (microseconds + 250001) % 1000000;
            stamp.time = captureTimeOf(1700000000, microseconds, 1000000);
            stamp.wireLength = uint32_t(f.size() + f.size() % 3);
            writer.add(f.data(), f.size(), &stamp);
        }
    }
    const SaveReport report = writer.finish();
    if (!report.ok) std::fprintf(stderr, "%s\n", report.error.c_str());
    return path;
}

// The frames with a Linux cooked v2 header in place of their Ethernet header.
std::vector<Frame> cookedV2(const std::vector<Frame>& frames)
{
    std::vector<Frame> cooked;
    for (const Frame& f : frames) {
        if (f.size() < 14) continue;
        Frame c = {f[12], f[13], 0, 0, 0, 0, 0, 2, 0, 1, 0, 6};   // protocol, interface 2, ARPHRD_ETHER, to us, 6-byte address
        c.insert(c.end(), f.begin() + 6, f.begin() + 12);
        c.insert(c.end(), 2, 0);
        c.insert(c.end(), f.begin() + 14, f.end());
        cooked.push_back(c);
    }
    return cooked;
}

// Section header, one interface of `linkType`, one enhanced packet block per frame.
Bytes pcapng(const std::vector<Frame>& frames, uint16_t linkType = 1)
{
    Bytes b;
    auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i))); };
    auto u16 = [&](uint16_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); };
    u32(0x0A0D0D0A); u32(28); u32(0x1A2B3C4D); u16(1); u16(0); u32(0xFFFFFFFF); u32(0xFFFFFFFF); u32(28);
    u32(1); u32(20); u16(linkType); u16(0); u32(65535); u32(20);
    uint32_t time = 0;
    for (const Frame& f : frames) {
        const uint32_t padded = uint32_t((f.size() + 3) / 4 * 4);
        u32(6); u32(32 + padded); u32(0); u32(0x0005E0A1); u32(time += 1000003); u32(uint32_t(f.size())); u32(uint32_t(f.size() + 4));
        b.insert(b.end(), f.begin(), f.end());
        b.insert(b.end(), padded - f.size(), 0);
        u32(32 + padded);
    }
    return b;
}

// For the writer's round trip: each frame as a two-byte length and its bytes.
Bytes lengthPrefixed(const std::vector<Frame>& frames)
{
    Bytes b;
    for (const Frame& f : frames) {
        b.push_back(uint8_t(f.size()));
        b.push_back(uint8_t(f.size() >> 8));
        b.insert(b.end(), f.begin(), f.end());
    }
    return b;
}
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeSeeds FOLDER\n");
        return 2;
    }
    const std::string root = argv[1];
    for (const char* target : {"fuzz_datasetScanner", "fuzz_fileLoader", "fuzz_captureImport", "fuzz_datasetWriter",
                               "fuzz_frameIndex", "fuzz_streamReader"})
        ::mkdir((root + "/" + target).c_str(), 0777);

    const std::vector<Frame> sample = makeSampleTraffic(40), awkward = awkwardFrames();
    int n = 0;
    for (const auto* frames : {&sample, &awkward}) {
        const std::string tag = std::to_string(++n);
        const Bytes dataset = readBack(written(root + "/seed.nivora", *frames));
        const Bytes pcap = readBack(written(root + "/seed.pcap", *frames));
        const Bytes ng = pcapng(*frames);
        const Bytes cooked = pcapng(cookedV2(*frames), 276);   // LINKTYPE_LINUX_SLL2
        const Bytes datasetGz = readBack(written(root + "/seed.nivora.gz", *frames));
        const Bytes pcapGz = readBack(written(root + "/seed.pcap.gz", *frames));
        // The scanner takes the bytes after the header, behind two block-size bytes.
        Bytes scan = {7, 200};
        scan.insert(scan.end(), dataset.begin() + 8, dataset.end());
        save(root + "/fuzz_datasetScanner/seed-" + tag, scan);
        for (const auto& [name, bytes] : {std::pair{"dataset", dataset}, {"pcap", pcap}, {"pcapng", ng}, {"cooked", cooked},
                                          {"dataset.gz", datasetGz}, {"pcap.gz", pcapGz}})
            for (const char* target : {"fuzz_fileLoader", "fuzz_frameIndex"})
                save(root + "/" + target + "/seed-" + tag + "-" + name, bytes);
        save(root + "/fuzz_captureImport/seed-" + tag + "-pcap", pcap);
        save(root + "/fuzz_captureImport/seed-" + tag + "-pcapng", ng);
        save(root + "/fuzz_captureImport/seed-" + tag + "-cooked", cooked);
        save(root + "/fuzz_datasetWriter/seed-" + tag, lengthPrefixed(*frames));
        // The stream reader takes eight bytes that seed its chunk sizes first.
        for (const auto& [name, bytes] : {std::pair{"pcap", pcap}, {"pcapng", ng}}) {
            Bytes stream(8, uint8_t(n * 37));
            stream.insert(stream.end(), bytes.begin(), bytes.end());
            save(root + "/fuzz_streamReader/seed-" + tag + "-" + name, stream);
        }
    }
    std::remove((root + "/seed.nivora").c_str());
    std::remove((root + "/seed.pcap").c_str());
    std::remove((root + "/seed.nivora.gz").c_str());
    std::remove((root + "/seed.pcap.gz").c_str());
    return 0;
}
