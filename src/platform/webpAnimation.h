#pragma once
// A lossless animated WebP built frame by frame from pictures of one size,
// shown one after the other at a fixed rate and looped. Written whole or not
// at all.
#include <QImage>
#include <QString>
#include <memory>

class WebpAnimation {
public:
    // libwebp's least effort: hundreds of frames a view must encode in
    // seconds, and the pictures are flat colour that compresses well anyway.
    static constexpr int kMethod = 0;
    static constexpr float kEffort = 0;   // lossless "quality": effort, 0 to 100

    WebpAnimation(QSize size, int framesPerSecond);
    ~WebpAnimation();
    WebpAnimation(const WebpAnimation&) = delete;
    WebpAnimation& operator=(const WebpAnimation&) = delete;

    // Adds the next frame (converted to the animation's size if it differs);
    // false once encoding has failed.
    bool add(const QImage& frame);
    int frames() const { return frames_; }
    // Ends the animation and writes it to `path`; the reason when that fails.
    QString write(const QString& path);

private:
    struct Encoder;
    std::unique_ptr<Encoder> encoder_;
    QSize size_;
    int msPerFrame_;
    int frames_ = 0;
    bool failed_ = false;
};
