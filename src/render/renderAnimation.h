#pragma once
// "render --animate": the range drawn in steps of K packets, every view's
// pictures and the main window caught after each step as a frame of a
// lossless animated WebP named as its still picture ("textrainfall.webp").
// The last frame is the picture the whole range leaves, as the still is.
#include <QString>

#include "render/renderOutput.h"

// Draws the range into the shown views; on failure a message naming the file and the reason.
QString renderAnimations(const QString& dir, const RenderedRange& range, int64_t every, int fps);

// The step that makes at most `most` frames of `packets` packets: ⌈packets / most⌉, at least 1.
int64_t animationStep(int64_t packets, int64_t most);
