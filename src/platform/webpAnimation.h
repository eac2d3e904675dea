#pragma once
// A lossless animated WebP built frame by frame from pictures of one size,
// shown one after the other at a fixed rate and looped. Written whole or not
// at all. Frames are encoded on a small pool of worker threads (one at a time
// per animation, in order), so several animations encode side by side while
// the caller draws the next frame.
#include <QImage>
#include <QString>
#include <memory>

class WebpAnimation {
public:
    // libwebp's least effort: hundreds of frames a view must encode in
    // seconds, and the pictures are flat colour that compresses well anyway.
    static constexpr int kMethod = 0;
    static constexpr float kEffort = 0;   // lossless "quality": effort, 0 to 100
    // Frames waiting for the encoder at most; add() waits while this many are.
    static constexpr size_t kMostWaiting = 3;

    WebpAnimation(QSize size, int framesPerSecond);
    ~WebpAnimation();   // waits for the frame being encoded
    WebpAnimation(const WebpAnimation&) = delete;
    WebpAnimation& operator=(const WebpAnimation&) = delete;

    // Adds the next frame (cut to the animation's size if it differs; a copy
    // is kept, so the picture may change at once); false once encoding has failed.
    bool add(const QImage& frame);
    // Ends the animation and writes it to `path`; the reason when that fails.
    QString write(const QString& path);

private:
    struct Encoder;
    std::shared_ptr<Encoder> encoder_;
};
