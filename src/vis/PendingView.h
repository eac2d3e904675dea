#pragma once
// A view window whose drawing is not built yet: it opens, closes and takes
// part in the dispatch like every view, and says so on its face.
#include "app/FormWindow.h"
#include "vis/VisWindow.h"

class PendingView : public FormWindow, public VisWindow {
    Q_OBJECT
public:
    PendingView(const QString& objectName, const QString& caption, const QString& menuItem);

    void Plot(const PacketToDraw&) override {}
    void plotThumbnail(const PacketToDraw&) override {}
    void clear() override {}
    bool isShown() const override { return isVisible(); }
};
