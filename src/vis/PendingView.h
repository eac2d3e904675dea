#pragma once
// A view window whose drawing is not built yet: it opens, closes and takes
// part in the dispatch like every view, and says so on its face.
#include "vis/VisForm.h"

class PendingView : public VisForm {
    Q_OBJECT
public:
    explicit PendingView(int viewNumber);

    void Plot(const PacketToDraw&) override {}
    void clear() override {}
};
