#include "webpAnimation.h"

#include <QSaveFile>
#include <QThread>
#include <QThreadPool>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <vector>
#include <webp/encode.h>
#include <webp/mux.h>

#include "core/regularFile.h"

namespace {
// As many encoding threads as the machine has cores; the caller's drawing
// takes its share while they wait.
QThreadPool& encodingThreads()
{
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
        return p;
    }();
    return *pool;
}

// One frame as the file keeps it: the rectangle that changed, encoded alone.
struct EncodedFrame {
    WebPData bitstream{nullptr, 0};
    QRect rect;
    int ms = 0;   // how long it is shown
};
}

struct WebpAnimation::Encoder {
    WebPConfig config;
    QSize size;
    int msPerFrame = 1;
    int added = 0;   // frames handed to add(), the unchanged ones too

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<QImage> waiting;
    bool encoding = false;   // a worker drains `waiting`
    bool failed = false;
    QImage previous;   // the last frame encoded
    std::vector<EncodedFrame> frames;

    ~Encoder()
    {
        for (EncodedFrame& f : frames) WebPDataClear(&f.bitstream);
    }

    // On a worker: encodes the waiting frames in order until none waits.
    void drain()
    {
        std::unique_lock lock(mutex);
        while (!waiting.empty()) {
            const QImage frame = std::move(waiting.front());
            waiting.pop_front();
            changed.notify_all();
            const bool skip = failed;
            lock.unlock();
            const bool ok = skip || encode(frame);
            lock.lock();
            failed = failed || !ok;
        }
        encoding = false;
        changed.notify_all();
    }

    // Only the rectangle that changed since the frame before is encoded, once,
    // replacing what was there (no blending, nothing disposed): libwebp's own
    // animation encoder would encode it twice to weigh disposal methods. A
    // frame that changed nothing lengthens the one before.
    bool encode(const QImage& frame)
    {
        QRect rect = previous.isNull() ? frame.rect() : changedRect(previous, frame);
        previous = frame;
        if (rect.isEmpty()) {
            frames.back().ms += msPerFrame;
            return true;
        }
        rect.setLeft(rect.left() & ~1);   // a frame's offset is stored halved
        rect.setTop(rect.top() & ~1);
        WebPPicture picture;
        WebPMemoryWriter out;
        if (!WebPPictureInit(&picture)) return false;
        WebPMemoryWriterInit(&out);
        // Qt's ARGB32 pixel is the 0xAARRGGBB word WebP's ARGB plane holds:
        // the encoder reads the image in place.
        picture.use_argb = 1;
        picture.width = rect.width();
        picture.height = rect.height();
        picture.argb = reinterpret_cast<uint32_t*>(const_cast<uchar*>(frame.constScanLine(rect.top()))) + rect.left();
        picture.argb_stride = int(frame.bytesPerLine() / 4);
        picture.writer = WebPMemoryWrite;
        picture.custom_ptr = &out;
        const bool ok = WebPEncode(&config, &picture);
        WebPPictureFree(&picture);
        if (!ok) {
            WebPMemoryWriterClear(&out);
            return false;
        }
        frames.push_back({{out.mem, out.size}, rect, msPerFrame});
        return true;
    }

    // The smallest rectangle holding every pixel that differs; empty when none does.
    static QRect changedRect(const QImage& before, const QImage& now)
    {
        int top = -1, bottom = -1;
        const size_t row = size_t(now.width()) * 4;
        for (int y = 0; y < now.height(); ++y)
            if (std::memcmp(before.constScanLine(y), now.constScanLine(y), row) != 0) {
                if (top < 0) top = y;
                bottom = y;
            }
        if (top < 0) return {};
        int left = now.width(), right = -1;
        for (int y = top; y <= bottom; ++y) {
            const auto* a = reinterpret_cast<const uint32_t*>(before.constScanLine(y));
            const auto* b = reinterpret_cast<const uint32_t*>(now.constScanLine(y));
            for (int x = 0; x < left; ++x)
                if (a[x] != b[x]) left = x;
            for (int x = now.width() - 1; x > right; --x)
                if (a[x] != b[x]) right = x;
        }
        return QRect(QPoint(left, top), QPoint(right, bottom));
    }

    void waitUntilEncoded()
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return !encoding; });
    }

    // The frames as one animated WebP, looped for ever.
    bool assemble(WebPData& data)
    {
        WebPMux* mux = WebPMuxNew();
        bool ok = mux && WebPMuxSetCanvasSize(mux, size.width(), size.height()) == WEBP_MUX_OK
                  && WebPMuxSetAnimationParams(mux, &kLoopForEver) == WEBP_MUX_OK;
        for (size_t k = 0; ok && k < frames.size(); ++k) {
            const EncodedFrame& f = frames[k];
            WebPMuxFrameInfo info{};
            info.bitstream = f.bitstream;
            info.x_offset = f.rect.left();
            info.y_offset = f.rect.top();
            info.duration = f.ms;
            info.id = WEBP_CHUNK_ANMF;
            info.dispose_method = WEBP_MUX_DISPOSE_NONE;
            info.blend_method = WEBP_MUX_NO_BLEND;
            ok = WebPMuxPushFrame(mux, &info, 0) == WEBP_MUX_OK;
        }
        ok = ok && WebPMuxAssemble(mux, &data) == WEBP_MUX_OK;
        WebPMuxDelete(mux);
        return ok;
    }
    static constexpr WebPMuxAnimParams kLoopForEver{0xffffffff, 0};
};

WebpAnimation::WebpAnimation(QSize size, int framesPerSecond) : encoder_(std::make_shared<Encoder>())
{
    Encoder& e = *encoder_;
    e.size = size;
    e.msPerFrame = std::max(1, 1000 / std::max(1, framesPerSecond));
    e.failed = !WebPConfigInit(&e.config) || size.isEmpty();
    e.config.lossless = 1;
    e.config.method = kMethod;
    e.config.quality = kEffort;
}

WebpAnimation::~WebpAnimation()
{
    {
        const std::lock_guard lock(encoder_->mutex);
        encoder_->waiting.clear();
    }
    encoder_->waitUntilEncoded();
}

bool WebpAnimation::add(const QImage& frame)
{
    Encoder& e = *encoder_;
    QImage copy = (frame.size() == e.size ? frame : frame.copy(QRect(QPoint(0, 0), e.size)))
                      .convertToFormat(QImage::Format_ARGB32);
    copy.detach();   // a copy of its own: the caller goes on drawing into its picture
    std::unique_lock lock(e.mutex);
    if (e.failed) return false;
    e.changed.wait(lock, [&e] { return e.waiting.size() < kMostWaiting; });
    e.waiting.push_back(std::move(copy));
    ++e.added;
    if (!e.encoding) {
        e.encoding = true;
        encodingThreads().start([keep = encoder_] { keep->drain(); });
    }
    return true;
}

QString WebpAnimation::write(const QString& path)
{
    Encoder& e = *encoder_;
    e.waitUntilEncoded();
    if (e.failed || e.added == 0) return e.failed ? "the animation could not be encoded" : "the animation has no frames";
    WebPData data;
    WebPDataInit(&data);
    if (!e.assemble(data)) {
        WebPDataClear(&data);
        return "the animation could not be assembled";
    }
    QSaveFile out(path);
    QString reason;
    if (isSpecialFile(path.toStdString())) reason = "not a regular file";
    else if (!out.open(QIODevice::WriteOnly) || out.write(reinterpret_cast<const char*>(data.bytes), qint64(data.size)) < 0
             || !out.commit())
        reason = out.errorString();
    WebPDataClear(&data);
    return reason;
}
