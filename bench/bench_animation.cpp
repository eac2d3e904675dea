// How large render --animate's animations are against the same frames as
// separate lossless WebP stills: of the same least effort (every frame), and
// of libwebp's default lossless settings (every 10th frame and the last,
// scaled to all, as that effort takes long): each animation named on the
// command line is decoded with libwebp and its frames encoded on their own.
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
constexpr int kDefaultsEvery = 10;

// The bytes of one lossless still of the BGRA canvas, at the animation's
// least effort or at libwebp's default lossless settings.
size_t stillSize(const uint8_t* canvas, int width, int height, bool leastEffort)
{
    WebPConfig config;
    WebPPicture picture;
    if (!WebPConfigInit(&config) || !WebPPictureInit(&picture)) return 0;
    config.lossless = 1;
    if (leastEffort) {
        config.method = WebpAnimation::kMethod;
        config.quality = WebpAnimation::kEffort;
    }
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
    double stills = 0;     // at least effort
    double defaults = 0;   // at the default lossless settings, scaled from the frames sampled
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
    int timestamp = 0, samples = 0;
    double sampled = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder) && WebPAnimDecoderGetNext(decoder, &canvas, &timestamp)) {
        w.stills += double(stillSize(canvas, int(info.canvas_width), int(info.canvas_height), true));
        if (w.frames % kDefaultsEvery == 0 || !WebPAnimDecoderHasMoreFrames(decoder))   // the last one too
            sampled += double(stillSize(canvas, int(info.canvas_width), int(info.canvas_height), false)), ++samples;
        ++w.frames;
    }
    w.defaults = samples > 0 ? sampled * w.frames / samples : 0;
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
    double worst = 0, worstDefaults = 0;
    QString worstName, worstDefaultsName;
    Weighed total;
    for (int i = 1; i < argc; ++i) {
        const Weighed w = weigh(argv[i]);
        const double ratio = w.stills > 0 ? w.animation / w.stills : 0, defaults = w.defaults > 0 ? w.animation / w.defaults : 0;
        std::printf("%s: %d frames, %.0f kB animated, as stills %.0f kB (ratio %.2f), at default settings %.0f kB (ratio %.2f)\n",
                    argv[i], w.frames, w.animation / 1024, w.stills / 1024, ratio, w.defaults / 1024, defaults);
        if (ratio > worst) worst = ratio, worstName = QFileInfo(argv[i]).fileName();
        if (defaults > worstDefaults) worstDefaults = defaults, worstDefaultsName = QFileInfo(argv[i]).fileName();
        total.animation += w.animation;
        total.stills += w.stills;
        total.defaults += w.defaults;
    }
    tableRow("render --animate, largest animation against its frames as lossless stills (" + worstName.toStdString() + ")",
             benchFigure("%.2fx", worst), "<= 1.5x",
             benchFigure("stills at least effort %.0f kB; ", total.stills / 1024)
                 + benchFigure("at default settings %.0f kB, ", total.defaults / 1024)
                 + benchFigure("all animations %.2fx of those, ", total.animation / total.defaults)
                 + benchFigure("largest %.2fx (", worstDefaults) + worstDefaultsName.toStdString() + ")",
             worst);
    return 0;
}
