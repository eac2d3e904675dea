#include "gzipFile.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
constexpr uint8_t kMagic[2] = {0x1F, 0x8B};
constexpr size_t kInputBytes = 256 << 10;
constexpr size_t kWindowBytes = 32 << 10;   // how far back a deflate block may refer
constexpr int kGzipBits = 15 + 16, kRawBits = -15;

std::string at(int64_t offset) { return " at compressed byte " + std::to_string(offset); }
}

bool isGzipFile(int fd)
{
    uint8_t first[2] = {};
    return ::pread(fd, first, 2, 0) == 2 && std::memcmp(first, kMagic, 2) == 0;
}

// One inflating pass through the compressed file: its input buffer and
// position in either file.
class GzipReader::Inflater {
public:
    Inflater(int fd, int64_t size, std::shared_ptr<InflateIndex>& index)
        : fd_(fd), size_(size), index_(index), input_(new uint8_t[kInputBytes])
    {
        ok_ = inflateInit2(&z_, kGzipBits) == Z_OK;
    }
    ~Inflater() { inflateEnd(&z_); }

    bool ok() const { return ok_; }
    const std::vector<InflatePoint>& indexPoints() { return index().points; }
    int64_t position() const { return out_; }
    int64_t consumed() const { return in_ - int64_t(z_.avail_in); }

    // Starts again at `point`, or at the file's start when null.
    void restart(const InflatePoint* point, std::string& failure)
    {
        failure.clear();
        ended_ = false;
        z_.avail_in = 0;
        raw_ = point != nullptr;
        if (!point) {
            in_ = out_ = 0;
            inflateReset2(&z_, kGzipBits);
            return;
        }
        // The point's first bits are the rest of the byte before it.
        in_ = point->in - (point->bits ? 1 : 0);
        out_ = point->out;
        inflateReset2(&z_, kRawBits);
        if (point->bits) {
            if (!need(1, failure)) return;
            inflatePrime(&z_, point->bits, *z_.next_in >> (8 - point->bits));
            ++z_.next_in;
            --z_.avail_in;
        }
        if (!point->window.empty()) inflateSetDictionary(&z_, point->window.data(), uInt(point->window.size()));
    }

    // Up to n bytes of output into `into`; fewer at the end or where the stream breaks (failure says how).
    size_t inflateInto(uint8_t* into, size_t n, std::string& failure)
    {
        z_.next_out = into;
        z_.avail_out = uInt(n);
        while (z_.avail_out > 0 && !ended_ && failure.empty()) {
            if (z_.avail_in == 0 && !need(1, failure)) {
                if (failure.empty()) failure = "the compressed data ends early, cut off" + at(size_);
                break;
            }
            const uInt before = z_.avail_out;
            const int rc = inflate(&z_, Z_BLOCK);
            out_ += int64_t(before - z_.avail_out);
            if (rc == Z_STREAM_END) {
                nextMember(failure);
            } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
                failure = std::string("the compressed data is damaged") + at(consumed()) + " (" + (z_.msg ? z_.msg : "zlib error")
                          + ")";
            } else if ((z_.data_type & 128) && !(z_.data_type & 64)) {
                notePoint();   // between two blocks of a member
            }
        }
        return n - z_.avail_out;
    }

private:
    // At least k input bytes at next_in, reading on; false at the file's end or on a read error.
    bool need(size_t k, std::string& failure)
    {
        if (z_.avail_in >= k) return true;
        std::memmove(input_.get(), z_.next_in ? z_.next_in : input_.get(), z_.avail_in);
        z_.next_in = input_.get();
        while (z_.avail_in < k) {
            const size_t want = size_t(std::min<int64_t>(int64_t(kInputBytes - z_.avail_in), size_ - in_));
            if (want == 0) return false;
            const ssize_t got = ::pread(fd_, input_.get() + z_.avail_in, want, in_);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                failure = "the compressed file could not be read" + at(in_) + (got < 0 ? ": " + readErrorText(errno) : "");
                return false;
            }
            in_ += got;
            z_.avail_in += uInt(got);
        }
        return true;
    }

    // A member ended: its trailer (checked by zlib unless the pass began at a
    // point), then the end of the file or the next member.
    void nextMember(std::string& failure)
    {
        if (raw_) {   // the trailer's CRC and length cover the member from its start: not checked
            if (!need(8, failure)) {
                if (failure.empty()) failure = "the compressed data ends early, cut off" + at(size_);
                return;
            }
            z_.next_in += 8;
            z_.avail_in -= 8;
        }
        if (!need(1, failure)) {
            ended_ = failure.empty();
            return;
        }
        if (!need(2, failure) || std::memcmp(z_.next_in, kMagic, 2) != 0) {
            if (failure.empty()) failure = "bytes that are not compressed data follow the compressed data" + at(consumed());
            return;
        }
        raw_ = false;
        inflateReset2(&z_, kGzipBits);
    }

    // The points, kept where the index the reader was given (or adopted later) lives.
    InflateIndex& index()
    {
        if (!index_) index_ = std::make_shared<InflateIndex>();
        return *index_;
    }

    void notePoint()
    {
        InflateIndex& index = this->index();
        auto& points = index.points;
        if (!points.empty() && out_ < points.back().out + index.span) return;   // known already, or too near
        if (points.empty() && out_ < index.span) return;                         // the start serves
        if (points.size() >= index.maxPoints) {   // keep every other point; the span doubles
            for (size_t k = 0; k < points.size() / 2; ++k) points[k] = std::move(points[2 * k + 1]);
            points.resize(points.size() / 2);
            index.span *= 2;
            if (!points.empty() && out_ < points.back().out + index.span) return;
        }
        InflatePoint p{out_, consumed(), z_.data_type & 7, std::vector<uint8_t>(kWindowBytes)};
        uInt length = 0;
        inflateGetDictionary(&z_, p.window.data(), &length);
        p.window.resize(length);
        points.push_back(std::move(p));
    }

    int fd_;
    int64_t size_;
    std::shared_ptr<InflateIndex>& index_;
    std::unique_ptr<uint8_t[]> input_;
    z_stream z_{};
    bool ok_ = false;
    bool raw_ = false;     // begun at a point: raw deflate, no gzip header or trailer check
    bool ended_ = false;   // the last member ended with the file
    int64_t in_ = 0;       // compressed bytes read into the input buffer so far
    int64_t out_ = 0;      // offset of the next output byte
};

GzipReader::GzipReader(int fd, int64_t size, std::shared_ptr<InflateIndex>& index)
    : z_(std::make_unique<Inflater>(fd, size, index))
{
    if (!z_->ok()) failure_ = "zlib could not start";
}

GzipReader::~GzipReader() = default;

int64_t GzipReader::compressedOffset() const { return z_->consumed(); }

ssize_t GzipReader::readAt(uint8_t* into, size_t n, int64_t offset)
{
    if (!z_->ok()) return -1;
    if (offset != z_->position()) {
        // The nearest point before the offset, if reading on from here would take longer.
        const auto& points = z_->indexPoints();
        const auto after = std::upper_bound(points.begin(), points.end(), offset,
                                            [](int64_t o, const InflatePoint& p) { return o < p.out; });
        const InflatePoint* nearest = after == points.begin() ? nullptr : &*(after - 1);
        const int64_t from = nearest ? nearest->out : 0;
        if (offset < z_->position() || from > z_->position() || !failure_.empty()) z_->restart(nearest, failure_);
        // Inflated and dropped up to the offset.
        uint8_t skipped[16 << 10];
        while (failure_.empty() && z_->position() < offset) {
            const size_t want = size_t(std::min<int64_t>(sizeof skipped, offset - z_->position()));
            if (z_->inflateInto(skipped, want, failure_) < want) break;
        }
        if (z_->position() != offset) return failure_.empty() ? 0 : -1;
    }
    if (!failure_.empty()) return -1;
    const size_t got = z_->inflateInto(into, n, failure_);
    return got > 0 || failure_.empty() ? ssize_t(got) : -1;
}

std::vector<uint8_t> gzipPrefix(int fd, size_t n)
{
    std::shared_ptr<InflateIndex> unused;
    struct stat info {};
    GzipReader reader(fd, ::fstat(fd, &info) == 0 ? int64_t(info.st_size) : 0, unused);
    std::vector<uint8_t> prefix(n);
    size_t got = 0;
    while (got < n) {
        const ssize_t k = reader.readAt(prefix.data() + got, n - got, int64_t(got));
        if (k <= 0) break;
        got += size_t(k);
    }
    prefix.resize(got);
    return prefix;
}
