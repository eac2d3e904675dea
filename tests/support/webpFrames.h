#pragma once
// Reading an animated WebP back with libwebp's own decoder: every frame as
// the canvas it shows, and how long each is shown.
#include <QFile>
#include <QImage>
#include <webp/demux.h>

namespace webp {

struct Animation {
    QList<QImage> frames;
    QList<int> timestamps;   // ms at which each frame ends
    bool ok = false;
};

inline Animation read(const QString& path)
{
    Animation a;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return a;
    const QByteArray bytes = f.readAll();
    const WebPData data{reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())};
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) return a;
    options.color_mode = MODE_BGRA;   // Qt's ARGB32 in memory on this little-endian machine
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    if (!decoder) return a;
    WebPAnimInfo info;
    a.ok = WebPAnimDecoderGetInfo(decoder, &info);
    while (a.ok && WebPAnimDecoderHasMoreFrames(decoder)) {
        uint8_t* canvas = nullptr;
        int timestamp = 0;
        a.ok = WebPAnimDecoderGetNext(decoder, &canvas, &timestamp);
        if (!a.ok) break;
        a.frames << QImage(canvas, int(info.canvas_width), int(info.canvas_height), QImage::Format_ARGB32).copy();
        a.timestamps << timestamp;
    }
    WebPAnimDecoderDelete(decoder);
    return a;
}

}
