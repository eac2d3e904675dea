#pragma once
// What a render leaves in its folder: every view's screenshot pictures named
// by their suffixes without a time stamp ("textrainfall.bmp"), the six
// thumbnails ("thumb1.bmp".."thumb6.bmp"), the whole main window
// ("mainwindow.bmp") and manifest.json describing them.
#include <QString>
#include <cstdint>

struct RenderedRange {
    int64_t first;
    int64_t last;
    int64_t drawn;   // packets of the range the filter let through to the views
};

// "_textrainfall.bmp" as "textrainfall.png", say: a screenshot suffix as a render's file name.
QString renderFileName(const char* suffix, const QString& format);

// Writes the files; on failure returns a message naming the file and the reason.
QString writeRenderOutput(const QString& dir, const QString& format, const QString& source, const RenderedRange& range);
