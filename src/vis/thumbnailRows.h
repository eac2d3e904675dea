#pragma once
// The thumbnails that draw a row of pixels per packet, top to bottom and
// again from the top, keeping the row under the newest packet blank.
#include <algorithm>
#include <cstdint>

#include "platform/PictureSurface.h"

// The next row (row 0 after the last), erased for the next packet.
inline int advanceThumbRow(PictureSurface& thumb, int row)
{
    row = row + 1 < thumb.scaleHeight() ? row + 1 : 0;
    thumb.line(0, row, thumb.scaleWidth() - 1, row, thumb.backColor());
    return row;
}

// The newest packets that stay in sight: a row each, less the blank one.
inline int64_t thumbRowsKept(const PictureSurface& thumb) { return std::max(0, thumb.scaleHeight() - 1); }
