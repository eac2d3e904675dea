#include "fileConvert.h"

#include "frameSource.h"

ConvertReport convertFile(const std::string& in, const std::string& out)
{
    ConvertReport report;
    LoadObserver quiet;
    auto source = makeSourceFor(in);
    if (!source->open(in, report.read, quiet)) return report;

    FrameWriter writer(out);
    if (writer.open()) {
        source->forEachFrame(report.read, [&](const SourceFrame& frame) { return writer.add(frame.data, frame.size); });
    }
    report.write = writer.finish();
    return report;
}
