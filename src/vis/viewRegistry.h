#pragma once
// The seven views, one row each: everything the main window, the dispatch and
// the screenshots need to know about a view. No other code switches on a
// view number.
#include <memory>
#include <vector>

#include "vis/VisWindow.h"

class VisForm;
class PictureSurface;

struct ViewRow {
    int number;                  // 1..7, the order of the dispatch
    const char* objectName;      // "frmVis1"
    const char* caption;         // window caption
    const char* menuItem;        // the View menu item's name, "vis1"
    const char* menuCaption;     // "&Text Rainfall"
    int thumbIndex;              // picVis(thumbIndex) on the main window; 0: no thumbnail
    const char* thumbCaption;    // under the thumbnail
    std::vector<const char*> screenshotSuffixes;   // in the order of screenshotPictures()
    bool accumulatesOverRange;   // starts afresh when the buffer range changes
    VisForm* (*window)();        // the window's accessor: created hidden on first reference
    std::unique_ptr<ThumbnailRenderer> (*makeThumbnail)();   // nullptr: draws no thumbnail
};

const std::vector<ViewRow>& viewRows();
const ViewRow& viewRow(int number);
constexpr int kThumbnailCount = 6;

// The view as the dispatch drives it (a test's stand-in where one is set).
VisWindow& viewWindow(const ViewRow& row);
// The view's thumbnail, alive for the whole program; nullptr when it has none.
ThumbnailRenderer* viewThumbnail(const ViewRow& row);

// The pictures of thumbnail 1..6. The main window hands over its own; until
// it does, hidden pictures of the thumbnail size stand in.
ThumbnailTarget thumbnailTarget(int thumbIndex);
void setThumbnailPictures(int thumbIndex, PictureSurface* picture, PictureSurface* back = nullptr);

// Opening a view's window announces it here; the dispatch draws the drawn
// sequence into a view opened with nothing drawn since the last clear.
void setViewOpenedHandler(void (*handler)(int number));
void announceViewOpened(int number);

// Tests put stand-ins in place of view k's window and thumbnail (nullptr restores the real ones).
void overrideView(int number, VisWindow* window, ThumbnailRenderer* thumbnail);
