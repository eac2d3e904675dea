#pragma once
// The player's "Record": what the shown views' pictures show while playing,
// caught at a fixed rate and written when the recording ends as one lossless
// animated WebP per picture in the program's folder (or, when that takes no
// files, the pictures folder, as screenshots), named as its screenshot would
// be ("20260101_120000_scatterplot.webp").
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

#include "platform/PictureSurface.h"
#include "platform/webpAnimation.h"

class ViewRecording {
public:
    static constexpr int kFramesPerSecond = 10;

    // Begins with every shown view that has pictures; false when none is shown.
    bool start();
    bool active() const { return !caught_.empty(); }
    // Adds what each picture shows now; a picture whose window was closed adds nothing more.
    void catchFrame();
    // Writes the animations and ends; the line telling the user where they went, or why not.
    QString finish();

private:
    struct Caught {
        QPointer<PictureSurface> picture;
        QString suffix;   // "_scatterplot.webp"
        std::unique_ptr<WebpAnimation> animation;
    };
    std::vector<Caught> caught_;
    QString stamp_;
};
