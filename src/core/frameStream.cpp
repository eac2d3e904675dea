#include "frameStream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "blockReader.h"
#include "datasetScanner.h"
#include "gzipFile.h"
#include "regularFile.h"
#include "unknownFile.h"

std::unique_ptr<FrameStream> makeCaptureStream(size_t bufferBytes);   // captureStream.cpp

namespace {
FileIdentity identityFrom(const struct stat& info)
{
    return FileIdentity{int64_t(info.st_size), int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
                        uint64_t(info.st_dev), uint64_t(info.st_ino)};
}

// A dataset: the header, then the records through the scanner, a block at a time.
class DatasetStream final : public FrameStream {
public:
    explicit DatasetStream(size_t bufferBytes) : reader_(bufferBytes) {}

    bool open(const std::string& path, LoadReport& report) override
    {
        if (!openFile(path, report)) return false;
        attachReader(reader_);
        size_t size = size_t(std::min<int64_t>(kFirstBytesShown, reader_.remaining()));
        const uint8_t* first = reader_.peek(size);
        if (!first && reader_.error() == 0) {   // a compressed file held fewer bytes than its limit guessed
            size = size_t(reader_.remaining());
            first = reader_.peek(size);
        }
        if (!first) return fail(report, LoadError::CannotRead, "Cannot read " + quotedPath(path) + ": " + reader_.failure());
        if (hasDatasetHeader(first, size)) return true;
        refuseUnknownFile(path, first, size, report);
        return false;
    }

    StreamPoint start() const override { return {int64_t(kDatasetHeader.size()), 0}; }

    void read(LoadReport& report, const StreamPoint& from, const std::function<bool(const StreamFrame&)>& visit) override
    {
        const size_t block = std::min<size_t>(128 << 10, reader_.capacity());
        DatasetScanner scanner(from.offset);
        reader_.seek(from.offset);
        for (;;) {
            const size_t size = size_t(std::min<int64_t>(int64_t(block), reader_.remaining()));
            const uint8_t* bytes = size > 0 ? reader_.peek(size) : nullptr;
            // The contents ended (a compressed file's limit is a guess) or broke off before the
            // block: the limit moved to what was read, which is scanned still.
            if (!bytes && reader_.remaining() > 0) continue;
            if (!bytes) break;
            reader_.advance(int64_t(size));
            const bool more = scanner.feed(bytes, size, [&](const DatasetRecord& r) {
                ++report.recordsFound;
                if (!r.frame) {   // longer than the 1601-byte record buffer: skipped whole
                    if (report.oversizedSkipped++ == 0) report.firstOversizedOffset = r.start;
                    return true;
                }
                return visit(StreamFrame{SourceFrame{r.frame, r.size, progressAt(r.end + 1), nullptr}, StreamPoint{r.start, 0}});
            });
            if (!more) return;
        }
        if (reader_.error() != 0) report.damage = reader_.failure();
        else report.trailingBytes = int64_t(scanner.unfinished());   // a last record without its trailer
    }

private:
    BlockReader reader_;
};
}

FrameStream::FrameStream() = default;

FrameStream::~FrameStream()
{
    gzip_.reset();
    if (fd_ >= 0) ::close(fd_);
}

bool FrameStream::openFile(const std::string& path, LoadReport& report)
{
    std::string reason;
    fd_ = openRegularFile(path, reason);   // a pipe or a device is refused before it is opened
    if (fd_ < 0) return fail(report, LoadError::CannotOpen, "Cannot open " + quotedPath(path) + ": " + reason);
    if (!fileIdentityOf(fd_, identity_))
        return fail(report, LoadError::CannotOpen, "Cannot open " + quotedPath(path) + ": not a regular file");
    report.fileSize = identity_.size;
    if (isGzipFile(fd_)) gzip_ = std::make_unique<GzipReader>(fd_, identity_.size, layout_.inflate);
    return true;
}

void FrameStream::attachReader(BlockReader& reader)
{
    // The contents' length is known only at their end.
    if (gzip_) reader.attach(*gzip_, std::numeric_limits<int64_t>::max());
    else reader.attach(fd_, identity_.size);
}

int64_t FrameStream::progressAt(int64_t offset) const { return gzip_ ? gzip_->compressedOffset() : offset; }

bool FrameStream::fail(LoadReport& report, LoadError error, const std::string& message)
{
    report.error = error;
    report.message = message;
    return false;
}

bool fileIdentityOf(int fd, FileIdentity& identity)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    identity = identityFrom(info);
    return true;
}

bool currentFileIdentity(const std::string& path, FileIdentity& identity)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    identity = identityFrom(info);
    return true;
}

std::unique_ptr<FrameStream> makeFrameStream(FileKind kind, size_t bufferBytes)
{
    if (kind == FileKind::Capture) return makeCaptureStream(bufferBytes);
    return std::make_unique<DatasetStream>(bufferBytes);
}

std::unique_ptr<FrameStream> openFrameStream(const std::string& path, LoadReport& report)
{
    auto stream = makeFrameStream(sniffFileKind(path));
    if (!stream->open(path, report)) return nullptr;
    return stream;
}
