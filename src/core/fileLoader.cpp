#include "fileLoader.h"

#include <algorithm>

#include "frameSource.h"
#include "linkOrigins.h"
#include "modLibrary.h"
#include "packetComments.h"

namespace {
LoadReport loadFrom(FrameSource& source, const std::string& path, LoadObserver& observer)
{
    LoadReport report;
    if (!source.open(path, report, observer)) return report;

    if (!resetBuffer("file")) {
        report.error = LoadError::Cancelled;
        return report;
    }
    observer.storeReset();
    report.firstPacket = getPacketCount() + 1;
    source.forEachFrame(report, [&](const SourceFrame& frame) {
        // Told only once a frame beyond the 30000th exists: a file of exactly
        // 30000 is loaded whole.
        if (report.packetsStored == kSlotCount) {
            if (!report.capped) observer.capacityReached(kSlotCount);
            report.capped = true;
            return observer.countPastCapacity();
        }
        // The store keeps the first 1601 bytes of a longer frame.
        if (frame.size > size_t(kSlotBytes)) ++report.truncatedFrames;
        // A dataset keeps no wire length: its frames were as long as stored.
        addPacket(frame.data, int(std::min(frame.size, size_t(kSlotBytes))) - 1, frame.stamp ? frame.stamp->time : kNoTime,
                  frame.stamp ? frame.stamp->wireLength : uint32_t(frame.size));
        if (frame.comments) setPacketComments(getPacketCount(), *frame.comments);
        noteLinkType(getPacketCount(), frame.linkType);
        ++report.packetsStored;
        observer.progress(frame.position);
        observer.yieldPoint();
        return true;
    });
    // Frames captured live meanwhile are interleaved: the range covers them too.
    report.lastPacket = report.packetsStored > 0 ? getPacketCount() : report.firstPacket - 1;
    return report;
}
}

LoadReport loadFromSource(FrameSource& source, const std::string& path, LoadObserver& observer)
{
    return loadFrom(source, path, observer);
}

// A compressed file is read by what it holds, whatever was asked.
LoadReport loadDatasetFile(const std::string& path, LoadObserver& observer)
{
    return loadFrom(*(isCompressedFile(path) ? makeSourceFor(path) : makeDatasetSource()), path, observer);
}

LoadReport loadCaptureFile(const std::string& path, LoadObserver& observer)
{
    return loadFrom(*(isCompressedFile(path) ? makeSourceFor(path) : makeCaptureSource()), path, observer);
}

LoadReport loadAnyFile(const std::string& path, LoadObserver& observer)
{
    return loadFrom(*makeSourceFor(path), path, observer);
}

std::vector<std::string> loadNotes(const LoadReport& report, const std::string& path)
{
    std::vector<std::string> notes;
    if (report.oversizedSkipped > 0)
        notes.push_back(std::to_string(report.oversizedSkipped) + " record(s) in " + quotedPath(path)
                        + " were longer than 1601 bytes (frame plus trailer) and were skipped; the first starts at byte offset "
                        + std::to_string(report.firstOversizedOffset) + ".");
    if (report.truncatedFrames > 0)
        notes.push_back(std::to_string(report.truncatedFrames) + " frame(s) in " + quotedPath(path)
                        + " longer than 1601 bytes were stored cut to their first 1601 bytes.");
    if (report.emptyFrames > 0)
        notes.push_back(std::to_string(report.emptyFrames) + " frame(s) in " + quotedPath(path)
                        + " without any captured bytes were left out.");
    if (report.otherLinkFrames > 0)
        notes.push_back(std::to_string(report.otherLinkFrames) + " frame(s) in " + quotedPath(path)
                        + " from interfaces whose frames cannot be shown as Ethernet were left out.");
    if (report.reindexed)
        notes.push_back(quotedPath(path) + " had changed since it was opened; it was indexed again before loading.");
    if (report.trailingBytes > 0)
        notes.push_back("The last " + std::to_string(report.trailingBytes) + " byte(s) of " + quotedPath(path)
                        + " are not closed by a record trailer: the last record may be cut short, and was left out.");
    if (!report.damage.empty())
        notes.push_back(quotedPath(path) + " could not be read to its end (" + report.damage
                        + "); the frames before that point were loaded.");
    return notes;
}
