// How large render --animate's animations are against the same frames as
// separate lossless WebP stills of the same effort: each animation named on
// the command line is decoded with libwebp and every frame encoded on its own.
// scripts/bench runs it on the animations of 30000 packets; without files it
// has nothing to weigh.
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <webp/demux.h>
#include <webp/encode.h>

#include "benchTable.h"
#include "platform/webpAnimation.h"

namespace {
// The bytes of one lossless still of the BGRA canvas, encoded as the animation's frames are.
size_t stillSize(const uint8_t* canvas, int width, int height)
{
    WebPConfig config;
    WebPPicture picture;
    if (!WebPConfigInit(&config) || !WebPPictureInit(&picture)) return 0;
    config.lossless = 1;
    config.method = WebpAnimation::kMethod;
    config.quality = WebpAnimation::kEffort;
    picture.use_argb = 1;
    picture.width = width;
    picture.height = height;
    WebPMemoryWriter out;
    WebPMemoryWriterInit(&out);
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &out;
    const bool ok = WebPPictureImportBGRA(&picture, canvas, width * 4) && WebPEncode(&config, &picture);
    const size_t size = ok ? out.size : 0;
    WebPPictureFree(&picture);
    WebPMemoryWriterClear(&out);
    return size;
}

struct Weighed {
    double animation = 0;
    double stills = 0;
    int frames = 0;
};

Weighed weigh(const QString& path)
{
    Weighed w;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return w;
    const QByteArray bytes = f.readAll();
    w.animation = double(bytes.size());
    const WebPData data{reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_BGRA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    WebPAnimInfo info;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder, &info)) return w;
    uint8_t* canvas = nullptr;
    int timestamp = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder) && WebPAnimDecoderGetNext(decoder, &canvas, &timestamp)) {
        w.stills += double(stillSize(canvas, int(info.canvas_width), int(info.canvas_height)));
        ++w.frames;
    }
    WebPAnimDecoderDelete(decoder);
    return w;
}
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::puts("bench_animation: give it the animations render --animate wrote (scripts/bench does)");
        return 0;
    }
    double worst = 0;
    QString worstName;
    Weighed total;
    for (int i = 1; i < argc; ++i) {
        const Weighed w = weigh(argv[i]);
        const double ratio = w.stills > 0 ? w.animation / w.stills : 0;
        std::printf("%s: %d frames, %.0f kB animated, %.0f kB as stills, ratio %.2f\n", argv[i], w.frames,
                    w.animation / 1024, w.stills / 1024, ratio);
        if (ratio > worst) worst = ratio, worstName = QFileInfo(argv[i]).fileName();
        total.animation += w.animation;
        total.stills += w.stills;
    }
    tableRow("render --animate, largest animation against its frames as lossless stills (" + worstName.toStdString() + ")",
             benchFigure("%.2fx", worst), "<= 1.5x", benchFigure("all: %.0f kB as stills", total.stills / 1024), worst);
    return 0;
}
