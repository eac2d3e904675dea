#include "gzipWriter.h"

#include <zlib.h>

#include <cstdint>

#include "atomicFile.h"

namespace {
constexpr size_t kOutputBytes = 128 << 10;
constexpr int kGzipBits = 15 + 16, kMemoryLevel = 8;
}

struct GzipWriter::State {
    z_stream z{};
    bool ok = false;
    uint8_t out[kOutputBytes];
};

GzipWriter::GzipWriter(AtomicFile& file) : s_(std::make_unique<State>()), file_(file)
{
    s_->ok = deflateInit2(&s_->z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kGzipBits, kMemoryLevel, Z_DEFAULT_STRATEGY) == Z_OK;
    if (!s_->ok) file_.fail("zlib could not start compressing");
}

GzipWriter::~GzipWriter() { deflateEnd(&s_->z); }

bool GzipWriter::deflateSome(int mode)
{
    z_stream& z = s_->z;
    do {
        z.next_out = s_->out;
        z.avail_out = kOutputBytes;
        const int rc = deflate(&z, mode);
        if (rc == Z_STREAM_ERROR) {
            file_.fail("zlib could not compress");
            return s_->ok = false;
        }
        if (!file_.write(s_->out, kOutputBytes - z.avail_out)) return s_->ok = false;
    } while (z.avail_out == 0);
    return true;
}

bool GzipWriter::write(const void* data, size_t size)
{
    if (!s_->ok) return false;
    s_->z.next_in = static_cast<Bytef*>(const_cast<void*>(data));
    s_->z.avail_in = uInt(size);
    return deflateSome(Z_NO_FLUSH);
}

bool GzipWriter::flush() { return s_->ok && deflateSome(Z_SYNC_FLUSH); }

bool GzipWriter::finish() { return s_->ok && deflateSome(Z_FINISH); }

std::FILE* GzipWriter::openStream()
{
    cookie_io_functions_t calls{};
    calls.write = [](void* self, const char* data, size_t size) -> ssize_t {
        return static_cast<GzipWriter*>(self)->write(data, size) ? ssize_t(size) : -1;
    };
    return fopencookie(this, "wb", calls);
}
