#include "viewRegistry.h"

#include <QPointer>
#include <array>

#include "platform/PictureSurface.h"
#include "platform/twips.h"
#include "vis/frmVis1.h"
#include "vis/frmVis2.h"
#include "vis/frmVis3.h"
#include "vis/frmVis4.h"
#include "vis/frmVis5.h"
#include "vis/frmVis6.h"
#include "vis/frmVis7.h"
#include "vis/binaryRainfall.h"
#include "vis/byteFrequency.h"
#include "vis/combinedView.h"
#include "vis/parallelPlot.h"
#include "vis/scatterPlot.h"
#include "vis/textRainfall.h"

namespace {
template <class W, W* (*accessor)()>
VisForm* windowOf() { return accessor(); }

template <class T>
std::unique_ptr<ThumbnailRenderer> make() { return std::make_unique<T>(); }

struct Stand {
    VisWindow* window = nullptr;
    ThumbnailRenderer* thumbnail = nullptr;
};

struct Registry {
    std::vector<ViewRow> rows;
    std::vector<std::unique_ptr<ThumbnailRenderer>> thumbnails;   // by row
    std::array<Stand, 7> stands;
    std::array<QPointer<PictureSurface>, kThumbnailCount> pictures, backs, spares, spareBacks;

    Registry()
    {
        rows = {
            {1, "frmVis1", "nivora: Text Rainfall", "vis1", "&Text Rainfall", 1, "text rainfall",
             {"_textrainfall.bmp"}, false, windowOf<FrmVis1, frmVis1>, make<TextRainfallThumbnail>},
            {2, "frmVis2", "nivora: Byte Frequency", "vis2", "&Byte Frequency", 2, " byte frequency",
             {"_bytefrequency.bmp"}, true, windowOf<FrmVis2, frmVis2>, make<ByteFrequencyThumbnail>},
            {3, "frmVis3", "nivora: Parallel Coordinate Plot", "vis3", "&Parallel Plot", 3, " parallel plot",
             {"_parallelcoord.bmp"}, false, windowOf<FrmVis3, frmVis3>, make<ParallelPlotThumbnail>},
            {4, "frmVis4", "nivora: Binary Rainfall", "vis4", "Binary &Rainfall", 4, "binary rainfall",
             {"_binaryrainfall.bmp"}, true, windowOf<FrmVis4, frmVis4>, make<BinaryRainfallThumbnail>},
            {5, "frmVis5", "nivora: Scatter Plot", "vis5", "&Scatter Plot", 5, "scatter plot",
             {"_scatterplot.bmp"}, false, windowOf<FrmVis5, frmVis5>, make<ScatterPlotThumbnail>},
            {6, "frmVis6", "nivora: Combined Visualization", "vis6", "&Combined", 6, "combined",
             {"_combined_left.bmp", "_combined_center.bmp", "_combined_right.bmp"}, false,
             windowOf<FrmVis6, frmVis6>, make<CombinedThumbnail>},
            {7, "frmVis7", "detail view", "vis7", "&Detail", 0, nullptr, {}, false, windowOf<FrmVis7, frmVis7>,
             nullptr},
        };
        for (const ViewRow& row : rows) thumbnails.push_back(row.makeThumbnail ? row.makeThumbnail() : nullptr);
    }
};

void (*viewOpenedHandler)(int) = nullptr;

Registry& registry()
{
    static Registry r;
    return r;
}

PictureSurface* spare(QPointer<PictureSurface>& slot)
{
    if (!slot) {
        slot = new PictureSurface;
        slot->setBackColor(rgb(0, 0, 0));
        slot->resize(twips(1215), twips(855));
    }
    return slot;
}
}

const std::vector<ViewRow>& viewRows() { return registry().rows; }
const ViewRow& viewRow(int number) { return registry().rows.at(size_t(number - 1)); }

VisWindow& viewWindow(const ViewRow& row)
{
    if (VisWindow* stand = registry().stands[size_t(row.number - 1)].window) return *stand;
    return *row.window();
}

ThumbnailRenderer* viewThumbnail(const ViewRow& row)
{
    if (row.thumbIndex == 0) return nullptr;
    if (ThumbnailRenderer* stand = registry().stands[size_t(row.number - 1)].thumbnail) return stand;
    return registry().thumbnails[size_t(row.number - 1)].get();
}

ThumbnailTarget thumbnailTarget(int thumbIndex)
{
    Registry& r = registry();
    const size_t i = size_t(thumbIndex - 1);
    PictureSurface* picture = r.pictures[i] ? r.pictures[i].data() : spare(r.spares[i]);
    PictureSurface* back = r.backs[i] ? r.backs[i].data() : spare(r.spareBacks[i]);
    return {picture, back};
}

void setThumbnailPictures(int thumbIndex, PictureSurface* picture, PictureSurface* back)
{
    Registry& r = registry();
    r.pictures[size_t(thumbIndex - 1)] = picture;
    r.backs[size_t(thumbIndex - 1)] = back;
}

void overrideView(int number, VisWindow* window, ThumbnailRenderer* thumbnail)
{
    registry().stands[size_t(number - 1)] = {window, thumbnail};
}

void setViewOpenedHandler(void (*handler)(int)) { viewOpenedHandler = handler; }

void announceViewOpened(int number)
{
    if (viewOpenedHandler) viewOpenedHandler(number);
}
