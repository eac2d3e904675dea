// Reading a nivora dataset: the 8-byte header first, then the records in one
// streaming pass through a fixed block, so memory stays the same whatever the
// file's size and a file that is no dataset is refused without reading it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "datasetScanner.h"
#include "frameSource.h"
#include "regularFile.h"
#include "unknownFile.h"

namespace {
constexpr size_t kBlockBytes = 128 << 10;   // as large as helps the reads, no larger

// Reads up to `size` bytes, fewer only at the end of the file; -1 on an error.
ssize_t readFully(int fd, uint8_t* into, size_t size)
{
    size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, into + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        got += size_t(n);
    }
    return ssize_t(got);
}

class DatasetSource final : public FrameSource {
public:
    ~DatasetSource() override { if (fd_ >= 0) ::close(fd_); }

    bool open(const std::string& path, LoadReport& report, LoadObserver& observer) override;
    void forEachFrame(LoadReport& report, const std::function<bool(const SourceFrame&)>& visit) override;

private:
    bool fail(LoadReport& report, LoadError error, const std::string& message)
    {
        report.error = error;
        report.message = message;
        return false;
    }

    int fd_ = -1;
};

bool DatasetSource::open(const std::string& path, LoadReport& report, LoadObserver& observer)
{
    std::string reason;
    fd_ = openRegularFile(path, reason);
    if (fd_ < 0) return fail(report, LoadError::CannotOpen, "Cannot open " + quotedPath(path) + ": " + reason);
    struct stat info {};
    if (::fstat(fd_, &info) != 0)
        return fail(report, LoadError::CannotRead, "Cannot read " + quotedPath(path) + ": " + std::strerror(errno));

    report.fileSize = info.st_size;
    observer.fileOpened(report.fileSize);

    uint8_t first[kFirstBytesShown];
    const ssize_t got = readFully(fd_, first, kDatasetHeader.size());
    if (got < 0) return fail(report, LoadError::CannotRead, "Cannot read " + quotedPath(path) + ": " + readErrorText(errno));
    if (!hasDatasetHeader(first, size_t(got))) {
        const ssize_t shown = ::pread(fd_, first, sizeof first, 0);   // a few more, to say what it is
        refuseUnknownFile(path, first, size_t(std::max<ssize_t>(shown, 0)), report);
        return false;
    }
    observer.fileRead();
    return true;
}

void DatasetSource::forEachFrame(LoadReport& report, const std::function<bool(const SourceFrame&)>& visit)
{
    const std::unique_ptr<uint8_t[]> block(new uint8_t[kBlockBytes]);   // filled by the reads
    DatasetScanner scanner;
    for (;;) {
        const ssize_t got = readFully(fd_, block.get(), kBlockBytes);
        // A file that shrinks meanwhile simply ends sooner: what was there is what we have.
        if (got < 0) {
            report.damage = readErrorText(errno);
            return;
        }
        const bool more = scanner.feed(block.get(), size_t(got), [&](const DatasetRecord& r) {
            ++report.recordsFound;
            // The record would not fit the 1601-byte record buffer: skip it whole,
            // so the records after it are still found.
            if (!r.frame) {
                if (report.oversizedSkipped++ == 0) report.firstOversizedOffset = r.start;
                return true;
            }
            return visit(SourceFrame{r.frame, r.size, r.end + 1, nullptr});
        });
        if (!more) return;
        if (size_t(got) < kBlockBytes) {
            report.trailingBytes = int64_t(scanner.unfinished());
            return;
        }
    }
}
}

std::unique_ptr<FrameSource> makeDatasetSource() { return std::make_unique<DatasetSource>(); }

std::string quotedPath(const std::string& path) { return "\"" + path + "\""; }
