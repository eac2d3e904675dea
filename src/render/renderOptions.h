#pragma once
// The words of "nivora-cli render" (renderUsage.h).
#include <QSize>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "core/frameWindow.h"

struct RenderOptions {
    QString file;
    QString outDir;
    QSize size;          // invalid: each view keeps its own size
    QStringList settings;
    std::optional<FrameWindow> window;   // the file's frames to load; none: from the first
    int64_t first = 0;   // 0: every packet the file gave
    int64_t last = 0;
    QString format = "bmp";
};

// The options, or nothing with the reason in error.
std::optional<RenderOptions> parseRenderOptions(const QStringList& words, QString& error);
