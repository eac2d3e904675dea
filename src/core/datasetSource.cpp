// Reading a nivora dataset: the whole file in one read, then the records.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "datasetScanner.h"
#include "frameSource.h"

namespace {
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { if (fd_ >= 0) ::close(fd_); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
private:
    int fd_;
};

class DatasetSource final : public FrameSource {
public:
    bool open(const std::string& path, LoadReport& report, LoadObserver& observer) override;
    void forEachFrame(LoadReport& report, const std::function<bool(const SourceFrame&)>& visit) override;

private:
    bool fail(LoadReport& report, LoadError error, const std::string& message)
    {
        report.error = error;
        report.message = message;
        return false;
    }

    std::unique_ptr<uint8_t[]> data_;
    size_t size_ = 0;
};

bool DatasetSource::open(const std::string& path, LoadReport& report, LoadObserver& observer)
{
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) return fail(report, LoadError::CannotOpen, "Cannot open " + quotedPath(path) + ": " + std::strerror(errno));
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        return fail(report, LoadError::CannotRead, "Cannot read " + quotedPath(path) + ": " + std::strerror(errno));
    if (!S_ISREG(info.st_mode)) return fail(report, LoadError::CannotOpen, "Cannot open " + quotedPath(path) + ": not a regular file");

    report.fileSize = info.st_size;
    observer.fileOpened(report.fileSize);

    // Held in one piece: uninitialised, as the read fills it at once.
    data_.reset(new (std::nothrow) uint8_t[size_t(info.st_size) + 1]);
    if (!data_) return fail(report, LoadError::CannotRead, "Cannot read " + quotedPath(path) + ": not enough memory for " + std::to_string(info.st_size) + " bytes");
    size_ = 0;
    while (size_ < size_t(info.st_size)) {
        const ssize_t got = ::read(file.get(), data_.get() + size_, size_t(info.st_size) - size_);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return fail(report, LoadError::CannotRead, "Cannot read " + quotedPath(path) + ": " + std::strerror(errno));
        if (got == 0) break;   // the file shrank meanwhile: what was there is what we have
        size_ += size_t(got);
    }
    observer.fileRead();

    if (!hasDatasetHeader(data_.get(), size_))
        return fail(report, LoadError::NotDataset, quotedPath(path) + " is not a nivora format file: it does not begin with \"<NIVORA>\"");
    return true;
}

void DatasetSource::forEachFrame(LoadReport& report, const std::function<bool(const SourceFrame&)>& visit)
{
    scanDatasetRecords(data_.get(), size_, kDatasetHeader.size(), [&](const DatasetRecord& r) {
        ++report.recordsFound;
        // The record would not fit the 1601-byte record buffer: skip it whole,
        // so the records after it are still found.
        if (r.size > kMaxDatasetFrame) {
            if (report.oversizedSkipped++ == 0) report.firstOversizedOffset = int64_t(r.start);
            return true;
        }
        return visit(SourceFrame{r.frame, r.size, int64_t(r.end) + 1});
    });
}
}

std::unique_ptr<FrameSource> makeDatasetSource() { return std::make_unique<DatasetSource>(); }

std::string quotedPath(const std::string& path) { return "\"" + path + "\""; }
