#include "PictureSurface.h"

#include <QImageWriter>
#include <QMouseEvent>
#include <QSaveFile>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "core/regularFile.h"

// A character's glyph as the draw font paints it in white on black: the
// pixels it inks, each with the coverage of every colour channel. A glyph's
// pixels are all different, so the order they are stamped in within one
// glyph does not matter: they are kept fully covered first, then those with
// one grey coverage, then the rest, so that stamping needs no test per pixel.
struct PictureSurface::Glyphs {
    struct Ink {
        int16_t dx, dy;      // from the pen position at the text's top
        uint32_t coverage;   // 0xFFFFFF: fully covered
    };
    struct Glyph {
        double advance = 0;
        std::vector<Ink> inks;
        size_t full = 0, grey = 0;   // inks[0, full) fully covered, [full, grey) grey
        int left = 0, top = 0, right = -1, bottom = -1;   // the inks' bounds, inclusive
        // Each ink's offset from the pen in an image `stride` pixels wide, worked out for the last stride stamped into.
        std::vector<qsizetype> offsets;
        qsizetype stride = 0;

        const qsizetype* offsetsFor(qsizetype imageStride)
        {
            if (imageStride != stride) {
                stride = imageStride;
                offsets.resize(inks.size());
                for (size_t i = 0; i < inks.size(); ++i) offsets[i] = inks[i].dy * stride + inks[i].dx;
            }
            return offsets.data();
        }
    };

    explicit Glyphs(const QFont& f) : font(f), metrics(f) {}

    Glyph& glyph(uint8_t c)
    {
        std::optional<Glyph>& g = glyphs[c];
        if (!g) g = draw(QChar(c));
        return *g;
    }

    Glyph draw(QChar c) const
    {
        Glyph g;
        g.advance = metrics.horizontalAdvance(c);
        const int pad = int(metrics.height());   // room for glyphs reaching past their advance
        QImage tile(int(g.advance) + 2 * pad, QFontMetrics(font).height(), QImage::Format_RGB32);
        tile.fill(Qt::black);
        QPainter p(&tile);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(pad, QFontMetrics(font).ascent(), QString(c));
        p.end();
        std::vector<Ink> grey, coloured;
        for (int y = 0; y < tile.height(); ++y)
            for (int x = 0; x < tile.width(); ++x)
                if (const uint32_t coverage = tile.pixel(x, y) & 0xFFFFFF) {
                    const Ink ink{int16_t(x - pad), int16_t(y), coverage};
                    if (coverage == 0xFFFFFF) g.inks.push_back(ink);
                    else if (coverage == (coverage & 255) * 0x010101) grey.push_back(ink);
                    else coloured.push_back(ink);
                    const bool first = g.bottom < 0;
                    g.left = first ? ink.dx : std::min(g.left, int(ink.dx));
                    g.right = first ? ink.dx : std::max(g.right, int(ink.dx));
                    if (first) g.top = y;
                    g.bottom = y;
                }
        g.full = g.inks.size();
        g.inks.insert(g.inks.end(), grey.begin(), grey.end());
        g.grey = g.inks.size();
        g.inks.insert(g.inks.end(), coloured.begin(), coloured.end());
        return g;
    }

    QFont font;
    QFontMetricsF metrics;
    std::array<std::optional<Glyph>, 256> glyphs;
};

namespace {
// Mixes ink into the pixel by one coverage a (0..255) for every channel, / 255 rounded.
inline uint32_t blendGrey(uint32_t pixel, uint32_t ink, uint32_t a)
{
    const auto mix = [a](uint32_t s, uint32_t d) {   // two channels at once
        uint32_t t = s * a + d * (255 - a) + 0x00800080;
        return ((t + ((t >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
    };
    return 0xFF000000 | mix(ink & 0x00FF00FF, pixel & 0x00FF00FF) | (mix((ink >> 8) & 0xFF, (pixel >> 8) & 0xFF) << 8);
}

// Mixes ink into the pixel by the coverage of each channel.
uint32_t blend(uint32_t pixel, uint32_t ink, uint32_t coverage)
{
    if (coverage == 0xFFFFFF) return ink;
    const uint32_t a = coverage & 255;
    if (coverage == a * 0x010101) return blendGrey(pixel, ink, a);   // grey antialiasing
    uint32_t out = 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t a = (coverage >> shift) & 255, d = (pixel >> shift) & 255, s = (ink >> shift) & 255;
        out |= ((s * a + d * (255 - a) + 127) / 255) << shift;
    }
    return out;
}

bool stampable(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 32 && c.unicode() < 256; });
}
}

PictureSurface::PictureSurface(QWidget* parent)
    : QWidget(parent), image_(1, 1, QImage::Format_RGB32)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    image_.fill(toPixel(back_));
}

void PictureSurface::setBackColor(ColorRef c)
{
    back_ = c;
    cls();
}

void PictureSurface::setDrawFont(const QFont& f)
{
    endPainter();   // it has the old font
    font_ = f;
    metrics_ = QFontMetrics(font_);
    glyphs_.reset();
}

void PictureSurface::cls()
{
    origin_ = 0;
    img().fill(toPixel(back_));
    curX_ = curY_ = 0;
    changed();
}

void PictureSurface::pset(int x, int y, ColorRef c)
{
    if (x < 0 || y < 0 || x >= img().width() || y >= img().height()) return;
    row(y)[x] = toPixel(c);
    changed();
}

void PictureSurface::setPixels(int x, int y, const ColorRef* colors, int count)
{
    if (y < 0 || y >= img().height()) return;
    const int first = std::max(0, -x), last = std::min(count, img().width() - x);
    if (first >= last) return;
    uint32_t* pixels = row(y) + x;
    for (int i = first; i < last; ++i)
        if (colors[i] != kNoColor) pixels[i] = toPixel(colors[i]);
    changed();
}

ColorRef PictureSurface::point(int x, int y) const
{
    if (x < 0 || y < 0 || x >= img().width() || y >= img().height()) return back_;
    return fromPixel(row(y)[x]);
}

void PictureSurface::line(int x1, int y1, int x2, int y2, ColorRef c)
{
    if (y1 == y2) {   // the views draw mostly horizontal lines: fill the row directly
        if (y1 < 0 || y1 >= img().height()) return;
        const int a = std::max(0, std::min(x1, x2));
        const int b = std::min(img().width() - 1, std::max(x1, x2));
        if (a > b) return;
        std::fill_n(row(y1) + a, b - a + 1, toPixel(c));
        changed();
        return;
    }
    if (!stepLine(x1, y1, x2, y2, c)) painter(c).drawLine(x1, y1, x2, y2);
    changed();
}

// Qt's raster engine draws a one-pixel line by stepping along its longer
// axis from the end nearer the origin on that axis, the other coordinate in
// 16.16 fixed point, starting half a step on when it grows. Stepped here the
// same way it costs a fraction of the painter's call. Qt clips a line that
// reaches more than a pixel past the picture first, which moves its pixels:
// those lines are left to the painter.
bool PictureSurface::stepLine(int x1, int y1, int x2, int y2, ColorRef c)
{
    QImage& image = img();
    const int w = image.width(), h = image.height();
    const auto near = [](int v, int extent) { return v >= -1 && v <= extent; };
    if (!near(x1, w) || !near(x2, w) || !near(y1, h) || !near(y2, h)) return false;
    const bool alongX = std::abs(x2 - x1) >= std::abs(y2 - y1);
    if (alongX ? x1 > x2 : y1 > y2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const int64_t steps = alongX ? x2 - x1 : y2 - y1, rise = alongX ? y2 - y1 : x2 - x1;
    const int64_t step = steps ? rise * 65536 / steps : 0;   // truncated, as Qt's
    int64_t across = (int64_t(alongX ? y1 : x1) << 16) + (rise > 0 ? (step + 1) >> 1 : 0);
    uint32_t* const pixels = reinterpret_cast<uint32_t*>(image.bits());
    const qsizetype stride = image.bytesPerLine() / 4;
    const uint32_t px = toPixel(c);
    for (int64_t k = 0; k <= steps; ++k, across += step) {
        const int64_t x = alongX ? x1 + k : across >> 16, y = alongX ? across >> 16 : y1 + k;
        if (x < 0 || y < 0 || x >= w || y >= h) continue;
        const int64_t at = y + origin_;   // the ring's row
        pixels[(at < h ? at : at - h) * stride + x] = px;
    }
    return true;
}

void PictureSurface::fillBox(int x1, int y1, int x2, int y2, ColorRef c)
{
    const QRect box = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                            QPoint(std::max(x1, x2), std::max(y1, y2)))
                          .intersected(img().rect());
    if (box.isEmpty()) return;
    const uint32_t px = toPixel(c);
    for (int y = box.top(); y <= box.bottom(); ++y)
        std::fill_n(row(y) + box.left(), box.width(), px);
    changed();
}

namespace {
// The pixels the painter fills (pen and brush of one colour, no antialiasing)
// for a circle of a radius, as offsets from its centre; the same wherever a
// whole pixel moves the centre, so that a circle clear of the picture's edges
// is stamped from them at a fraction of the painter's cost.
struct Disc {
    int reach = 0;   // no offset lies further than this from the centre on either axis
    std::vector<QPoint> offsets;
};

const Disc& discOf(int radius)
{
    static std::array<std::optional<Disc>, PictureSurface::kStampedRadii + 1> discs;
    std::optional<Disc>& disc = discs[size_t(radius)];
    if (disc) return *disc;
    disc.emplace();
    const int centre = radius + 4, side = 2 * centre + 1;   // room for the pen and rounding
    QImage tile(side, side, QImage::Format_RGB32);
    tile.fill(Qt::black);
    QPainter p(&tile);
    p.setPen(QColor(Qt::white));
    p.setBrush(QColor(Qt::white));
    p.drawEllipse(QPoint(centre, centre), radius, radius);
    p.end();
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (tile.pixel(x, y) & 0xFFFFFF) {
                disc->offsets.push_back({x - centre, y - centre});
                disc->reach = std::max({disc->reach, std::abs(x - centre), std::abs(y - centre)});
            }
    return *disc;
}
}

void PictureSurface::filledCircle(int x, int y, int radius, ColorRef c)
{
    if (radius >= 0 && radius <= kStampedRadii) {
        const Disc& disc = discOf(radius);
        if (x - disc.reach >= 0 && y - disc.reach >= 0 && x + disc.reach < img().width() &&
            y + disc.reach < img().height()) {
            const uint32_t px = toPixel(c);
            for (const QPoint& o : disc.offsets) row(y + o.y())[x + o.x()] = px;
            changed();
            return;
        }
    }
    QPainter& p = painter(c);
    p.setBrush(toQColor(c));
    p.drawEllipse(QPoint(x, y), radius, radius);
    p.setBrush(Qt::NoBrush);
    changed();
}

void PictureSurface::print(const QString& text)
{
    painter(fore_).drawText(curX_, curY_ + metrics_.ascent(), text);
    curX_ = 0;
    curY_ += metrics_.height();
    changed();
}

int PictureSurface::textWidth(const QString& text) const
{
    return metrics_.horizontalAdvance(text);
}

int PictureSurface::textHeight(const QString&) const { return metrics_.height(); }

bool PictureSurface::saveBmp(const QString& path, QString* reason) const
{
    endPainter();
    QSaveFile file(path);
    QString why;
    if (isSpecialFile(path.toStdString())) {   // a pipe would hold the save until someone reads it
        why = "not a regular file";
    } else if (!file.open(QIODevice::WriteOnly)) {
        why = file.errorString();
    } else {
        QImageWriter writer(&file, "bmp");
        if (!writer.write(ordered())) {
            why = writer.errorString();
            file.cancelWriting();
        } else if (!file.commit()) {
            why = file.errorString();
        }
    }
    if (why.isEmpty()) return true;
    if (reason) *reason = why;
    return false;
}

void PictureSurface::blockCopy(PictureSurface& dest, int dx, int dy, int w, int h,
                               const PictureSurface& src, int sx, int sy)
{
    // Clip the block against both images, keeping source and destination aligned.
    if (sx < 0) { dx -= sx; w += sx; sx = 0; }
    if (sy < 0) { dy -= sy; h += sy; sy = 0; }
    if (dx < 0) { sx -= dx; w += dx; dx = 0; }
    if (dy < 0) { sy -= dy; h += dy; dy = 0; }
    w = std::min({w, src.img().width() - sx, dest.img().width() - dx});
    h = std::min({h, src.img().height() - sy, dest.img().height() - dy});
    if (w <= 0 || h <= 0) return;

    const size_t bytes = size_t(w) * 4;
    auto copyRow = [&](int row) {
        std::memmove(dest.row(dy + row) + dx, src.row(sy + row) + sx, bytes);
    };
    // Within one picture, copy rows in the order that never reads an overwritten row.
    if (&dest == &src && dy > sy)
        for (int row = h - 1; row >= 0; --row) copyRow(row);
    else
        for (int row = 0; row < h; ++row) copyRow(row);
    dest.changed();
}

void PictureSurface::scrollRows(int dy)
{
    const int h = img().height(), w = img().width();
    if (dy == 0) return;
    if (dy >= h || dy <= -h) {
        fillBox(0, 0, w - 1, h - 1, back_);
        return;
    }
    // Picture row y is image row (y + origin_) mod h: turning the ring by dy
    // moves every row at once; only the rows it uncovers are erased.
    origin_ = ((origin_ - dy) % h + h) % h;
    const int first = dy > 0 ? 0 : h + dy;
    for (int y = first; y < first + std::abs(dy); ++y) std::fill_n(row(y), w, toPixel(back_));
    changed();
}

uint32_t* PictureSurface::row(int y)
{
    QImage& image = img();
    const int at = y + origin_;
    return reinterpret_cast<uint32_t*>(image.scanLine(at < image.height() ? at : at - image.height()));
}

const uint32_t* PictureSurface::row(int y) const
{
    const QImage& image = img();
    const int at = y + origin_;
    return reinterpret_cast<const uint32_t*>(image.constScanLine(at < image.height() ? at : at - image.height()));
}

const QImage& PictureSurface::image() const
{
    endPainter();   // Qt copies an image under an open painter deeply: let readers share it
    return ordered();
}

QPainter& PictureSurface::painter(ColorRef c) const
{
    QImage& image = ordered();
    if (!painter_.isActive()) {
        painter_.begin(&image);
        painter_.setFont(font_);
        painter_.setPen(toQColor(painterPen_ = c));
    } else if (c != painterPen_) {
        painter_.setPen(toQColor(painterPen_ = c));
    }
    return painter_;
}

void PictureSurface::endPainter() const
{
    if (painter_.isActive()) painter_.end();
}

QImage& PictureSurface::ordered() const
{
    img();
    unring();
    return image_;
}

void PictureSurface::unring() const
{
    if (origin_ == 0) return;
    // RGB32 rows are contiguous: one rotation of the pixels puts picture row 0 first.
    auto* first = reinterpret_cast<uint32_t*>(image_.bits());
    const qsizetype perRow = image_.bytesPerLine() / 4;
    std::rotate(first, first + origin_ * perRow, first + image_.height() * perRow);
    origin_ = 0;
}

PictureSurface::Sketch::Sketch(PictureSurface& picture) : picture_(picture) {}

PictureSurface::Sketch::~Sketch() { picture_.changed(); }

void PictureSurface::Sketch::line(int x1, int y1, int x2, int y2, ColorRef c)
{
    if (!picture_.stepLine(x1, y1, x2, y2, c)) picture_.painter(c).drawLine(x1, y1, x2, y2);
}

void PictureSurface::Sketch::filledCircle(int x, int y, int radius, ColorRef c) { picture_.filledCircle(x, y, radius, c); }

void PictureSurface::Sketch::text(int x, int y, const QString& text, ColorRef c)
{
    if (!stampable(text)) {
        picture_.painter(c).drawText(x, y + picture_.metrics_.ascent(), text);
        return;
    }
    if (!picture_.glyphs_) picture_.glyphs_ = std::make_shared<Glyphs>(picture_.font_);
    Glyphs& glyphs = *picture_.glyphs_;
    // The raster engine draws at once, so the image's pixels are up to date here.
    QImage& image = picture_.ordered();
    const int width = image.width(), height = image.height();
    const qsizetype stride = image.bytesPerLine() / 4;
    uint32_t* const pixels = reinterpret_cast<uint32_t*>(image.bits());
    const uint32_t ink = toPixel(c);
    double pen = x;
    for (QChar ch : text) {
        Glyphs::Glyph& g = glyphs.glyph(uint8_t(ch.unicode()));
        const int gx = int(std::lround(pen));
        pen += g.advance;
        if (gx + g.left >= 0 && y + g.top >= 0 && gx + g.right < width && y + g.bottom < height) {
            // The whole glyph lies on the picture: no pixel needs its own test.
            uint32_t* const origin = pixels + y * stride + gx;
            const qsizetype* const offsets = g.offsetsFor(stride);
            const size_t full = g.full, grey = g.grey, end = g.inks.size();
            for (size_t i = 0; i < full; ++i) origin[offsets[i]] = ink;
            for (size_t i = full; i < grey; ++i) {
                uint32_t& pixel = origin[offsets[i]];
                pixel = blendGrey(pixel, ink, g.inks[i].coverage & 255);
            }
            for (size_t i = grey; i < end; ++i) {
                uint32_t& pixel = origin[offsets[i]];
                pixel = blend(pixel, ink, g.inks[i].coverage);
            }
            continue;
        }
        for (const Glyphs::Ink& dot : g.inks) {
            const int px = gx + dot.dx, py = y + dot.dy;
            if (px < 0 || py < 0 || px >= width || py >= height) continue;
            uint32_t& pixel = pixels[py * stride + px];
            pixel = blend(pixel, ink, dot.coverage);
        }
    }
}

void PictureSurface::changed()
{
    if (repaintPending_) return;
    repaintPending_ = true;
    update();
}

void PictureSurface::paintEvent(QPaintEvent* e)
{
    repaintPending_ = false;
    QPainter p(this);
    // The ring's two bands: picture rows from 0 lie at image row origin_, the
    // rest wrap to the image's top.
    const QImage& image = img();
    const int h = image.height(), split = h - origin_;
    const QRect upper = e->rect().intersected(QRect(0, 0, image.width(), split));
    const QRect lower = e->rect().intersected(QRect(0, split, image.width(), origin_));
    if (!upper.isEmpty()) p.drawImage(upper, image, upper.translated(0, origin_));
    if (!lower.isEmpty()) p.drawImage(lower, image, lower.translated(0, -split));
    if (outlines_.isEmpty()) return;
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 0));
    for (const QRect& box : outlines_) p.drawRect(box.adjusted(0, 0, -1, -1));
}

void PictureSurface::setOutlines(const QList<QRect>& boxes)
{
    if (boxes == outlines_) return;
    outlines_ = boxes;
    update();
}

void PictureSurface::resizeEvent(QResizeEvent*) { img(); }

QImage& PictureSurface::img() const
{
    // The image follows the widget's size, also while the widget is hidden (a
    // hidden widget gets no resize event); what was drawn stays at the top left.
    const QSize size = this->size().expandedTo(QSize(1, 1));
    if (size != image_.size()) {
        endPainter();
        unring();
        QImage grown(size, QImage::Format_RGB32);
        grown.fill(toPixel(back_));
        QPainter p(&grown);
        p.drawImage(0, 0, image_);
        p.end();
        image_ = grown;
        const_cast<PictureSurface*>(this)->changed();
    }
    return image_;
}

void PictureSurface::mousePressEvent(QMouseEvent* e) { emit mousePressed(e->position().toPoint(), e->buttons()); }
void PictureSurface::mouseMoveEvent(QMouseEvent* e) { emit mouseMoved(e->position().toPoint(), e->buttons()); }
void PictureSurface::mouseReleaseEvent(QMouseEvent* e)
{
    emit mouseReleased(e->position().toPoint(), e->buttons());
    if (rect().contains(e->position().toPoint())) emit clicked();
}
void PictureSurface::mouseDoubleClickEvent(QMouseEvent*) { emit doubleClicked(); }
