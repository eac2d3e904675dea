#pragma once
// For the field view tests: frames stored so that the catalogue can read
// them, and counting the pixels of one colour in a part of a picture.
#include <QRect>
#include <vector>

#include "core/accessors.h"
#include "core/modLibrary.h"
#include "platform/PictureSurface.h"
#include "vis/VisWindow.h"

// Stores the frame and describes it as the dispatch would.
inline PacketToDraw storedPacket(const std::vector<uint8_t>& frame)
{
    const int32_t n = addPacket(frame.data(), int(frame.size()) - 1);
    return {n, packetBytesOf(n), int(frame.size()), nullptr};
}

// Pixels of colour c inside box (clipped to the picture).
inline int pixelsOf(const PictureSurface& pic, ColorRef c, QRect box = QRect(0, 0, 1 << 20, 1 << 20))
{
    box = box.intersected(pic.image().rect());
    int count = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) count += pic.point(x, y) == c;
    return count;
}

inline bool blank(const PictureSurface& pic) { return pixelsOf(pic, pic.backColor()) == pic.scaleWidth() * pic.scaleHeight(); }
