#include "fileConvert.h"

#include <sys/stat.h>

#include "frameSource.h"

namespace {
// Whether two names reach the same file: by any path, a hard link or a symbolic link.
bool sameFile(const std::string& a, const std::string& b)
{
    struct stat x {}, y {};
    return ::stat(a.c_str(), &x) == 0 && ::stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

// Nanoseconds when a frame's time needs them, as a save from the store does;
// only a pcap written from a file that may hold such times reads it (its
// window) once more to find out: pcapng always counts nanoseconds.
TimeResolution timeResolutionFor(const std::string& in, const std::string& out, const FrameSource& opened,
                                 const std::optional<FrameWindow>& window)
{
    if (!opened.mayHoldSubMicroseconds() || saveFormatOf(out) != SaveFormat::Pcap) return TimeResolution::Microseconds;
    const std::unique_ptr<FrameSource> source = window ? std::make_unique<WindowSource>(*window) : makeSourceFor(in);
    LoadReport ignored;
    LoadObserver quiet;
    bool finer = false;
    if (source->open(in, ignored, quiet))
        source->forEachFrame(ignored, [&](const SourceFrame& frame) {
            finer = frame.stamp && hasSubMicroseconds(frame.stamp->time);
            return !finer;
        });
    return finer ? TimeResolution::Nanoseconds : TimeResolution::Microseconds;
}
}

ConvertReport convertFile(const std::string& in, const std::string& out, const std::optional<FrameWindow>& window,
                          const FilterExpression& keep)
{
    ConvertReport report;
    LoadObserver quiet;
    const auto windowed = window ? std::make_unique<WindowSource>(*window) : nullptr;
    const auto whole = window ? nullptr : makeSourceFor(in);
    FrameSource& source = windowed ? static_cast<FrameSource&>(*windowed) : *whole;
    if (!source.open(in, report.read, quiet)) return report;

    // Writing onto the input would replace it with whatever was read of it so far.
    if (sameFile(in, out)) {
        report.write.format = saveFormatOf(out);
        report.write.error = "Cannot write " + quotedPath(out) + ": it is the input file " + quotedPath(in)
                             + "; choose another name";
        return report;
    }
    FrameWriter writer(out, timeResolutionFor(in, out, source, window));
    if (writer.open()) {
        source.forEachFrame(report.read, [&](const SourceFrame& frame) {
            if (!frameMatches(keep, frame)) return true;
            report.replaced.count(frame.linkType);
            return writer.add(frame.data, frame.size, frame.stamp, frame.comments);
        });
        if (windowed && windowed->framesSeen() < window->last) {   // the unfinished file is removed
            report.read.error = LoadError::NoSuchWindow;
            report.read.message = windowProblem(*window, windowed->framesSeen(), 0, in);
            return report;
        }
    }
    report.write = writer.finish();
    return report;
}
