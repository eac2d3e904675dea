#pragma once
// The words of "nivora-cli render" (renderUsage.h).
#include <QPoint>
#include <QSize>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "cli/cliSupport.h"

struct RenderOptions {
    QString file;
    QString outDir;
    QSize size;          // invalid: each view keeps its own size
    QStringList settings;
    WindowOption window;   // the file's frames to load; none: from the first
    QString filter;      // a libpcap filter expression "Show only" holds while drawing; empty: none
    int64_t first = 0;   // 0: every packet the file gave
    int64_t last = 0;
    QString format = "bmp";
    // Animations too: the views after every `every` packets (0: as many as
    // make at most kMostAnimationFrames frames), played at `fps` frames a second.
    bool animate = false;
    int64_t every = 0;
    int fps = 10;
    // Picking instead of writing: the picture named as in the manifest and the pixel asked about.
    bool pick = false;
    QString view;
    QPoint at;
};

inline constexpr int64_t kMostAnimationFrames = 300;

// The options of render, or of pick when the words start with "pick"; or
// nothing with the reason in error.
std::optional<RenderOptions> parseRenderOptions(QStringList words, QString& error);
