#include "webpAnimation.h"

#include <QSaveFile>
#include <webp/encode.h>
#include <webp/mux.h>

#include "core/regularFile.h"

struct WebpAnimation::Encoder {
    WebPAnimEncoder* encoder = nullptr;
    WebPConfig config;
    ~Encoder()
    {
        if (encoder) WebPAnimEncoderDelete(encoder);
    }
};

WebpAnimation::WebpAnimation(QSize size, int framesPerSecond)
    : encoder_(std::make_unique<Encoder>()), size_(size), msPerFrame_(std::max(1, 1000 / std::max(1, framesPerSecond)))
{
    WebPAnimEncoderOptions options;
    failed_ = !WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&encoder_->config) || size.isEmpty();
    if (failed_) return;
    // Pictures that change a little from frame to frame: key frames cost
    // more than the differences they would save seeking into.
    options.kmax = 0;
    options.anim_params.loop_count = 0;   // for ever
    encoder_->config.lossless = 1;
    encoder_->config.method = kMethod;
    encoder_->config.quality = kEffort;
    encoder_->encoder = WebPAnimEncoderNew(size.width(), size.height(), &options);
    failed_ = encoder_->encoder == nullptr;
}

WebpAnimation::~WebpAnimation() = default;

bool WebpAnimation::add(const QImage& frame)
{
    if (failed_) return false;
    const QImage argb = (frame.size() == size_ ? frame : frame.copy(QRect(QPoint(0, 0), size_)))
                            .convertToFormat(QImage::Format_ARGB32);
    WebPPicture picture;
    if (!WebPPictureInit(&picture)) return !(failed_ = true);
    // Qt's ARGB32 pixel is the 0xAARRGGBB word WebP's ARGB plane holds: the
    // encoder reads the image in place (and copies what it keeps).
    picture.use_argb = 1;
    picture.width = size_.width();
    picture.height = size_.height();
    picture.argb = reinterpret_cast<uint32_t*>(const_cast<uchar*>(argb.constBits()));
    picture.argb_stride = int(argb.bytesPerLine() / 4);
    if (!WebPAnimEncoderAdd(encoder_->encoder, &picture, frames_ * msPerFrame_, &encoder_->config))
        return !(failed_ = true);
    ++frames_;
    return true;
}

QString WebpAnimation::write(const QString& path)
{
    if (failed_ || frames_ == 0) return failed_ ? "the animation could not be encoded" : "the animation has no frames";
    WebPData data;
    WebPDataInit(&data);
    if (!WebPAnimEncoderAdd(encoder_->encoder, nullptr, frames_ * msPerFrame_, nullptr)
        || !WebPAnimEncoderAssemble(encoder_->encoder, &data)) {
        WebPDataClear(&data);
        return QString("the animation could not be encoded: ") + WebPAnimEncoderGetError(encoder_->encoder);
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
