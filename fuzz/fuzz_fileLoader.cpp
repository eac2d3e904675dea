// The whole loader over any file (dataset, pcap or pcapng, told by content),
// then every one of the 18 catalogue fields of every stored packet.
#include <cmath>

#include "core/fieldCatalogue.h"
#include "core/fileLoader.h"
#include "core/modLibrary.h"
#include "core/storeHost.h"
#include "fuzzSupport.h"

namespace {
// Answers No to "overwrite?": the ring goes on from one input to the next, as
// after a declined reset, since emptying 48 MB per input would cost more than the load.
struct KeepingHost : StoreHost {
    Answer confirmOverwrite() override { return Answer::No; }
};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::MemoryFile file;
    static KeepingHost host;
    setStoreHost(&host);
    file.hold(data, size);
    LoadObserver quiet;
    const LoadReport report = loadAnyFile(file.path(), quiet);
    FUZZ_CHECK(report.ok() || report.packetsStored == 0);
    FUZZ_CHECK(report.packetsStored <= report.recordsFound);
    FUZZ_CHECK(report.lastPacket - report.firstPacket + 1 == report.packetsStored);
    for (int64_t n = report.firstPacket; n <= report.lastPacket; ++n)
        for (int field = 0; field < kFieldCount; ++field)
            for (ProtocolLabel style : {ProtocolLabel::Decimal, ProtocolLabel::Keyword}) {
                const FieldSample sample = evaluateField(field, n, style);
                FUZZ_CHECK(sample.selected && sample.value >= 0 && sample.value <= 65535);
                FUZZ_CHECK(std::isfinite(scaleRange(sample.value, fieldRange(field), 480)));
            }
    loadNotes(report, file.path());
    return 0;
}
