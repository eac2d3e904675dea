#pragma once
// Copying the frames of one file into another of either format, straight
// through without the store, so there is no 30000-frame limit.
#include <optional>
#include <string>

#include "datasetWriter.h"
#include "filterExpression.h"
#include "frameWindow.h"
#include "linkHeader.h"
#include "loadReport.h"

struct ConvertReport {
    LoadReport read;    // the input: found, skipped, damage (read.error when it cannot be read)
    SaveReport write;   // the output: written, left out, error
    ReplacedHeaders replaced;   // frames written as Ethernet after their link header was replaced
};

// IN is recognised by content; OUT's format by its extension. OUT may not
// be IN itself (by any name): that is refused before anything is written.
// With a window, only its frames are copied; a window reaching past IN's end
// is refused (read.error) and nothing is written. Only the frames `keep`
// matches are written, times and wire lengths kept.
ConvertReport convertFile(const std::string& in, const std::string& out, const std::optional<FrameWindow>& window = {},
                          const FilterExpression& keep = {});
