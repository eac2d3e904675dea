#pragma once
// A picture: a widget that owns a persistent image. Every drawing call goes
// into the image; the screen shows the image and is refreshed by the event
// loop (coalesced), never per pixel.
// The image's rows are kept in a ring so that scrolling the whole picture by a
// row moves no pixels; readers of image() and drawing through a painter (text,
// circles, slanted lines) see the rows in order again.
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <memory>

#include "colorRef.h"

class PictureSurface : public QWidget {
    Q_OBJECT
public:
    explicit PictureSurface(QWidget* parent = nullptr);

    void setBackColor(ColorRef c);   // also erases, as a picture's back colour does
    ColorRef backColor() const { return back_; }
    void setForeColor(ColorRef c) { fore_ = c; }
    ColorRef foreColor() const { return fore_; }
    void setDrawFont(const QFont& f);
    const QFont& drawFont() const { return font_; }

    // Erases the image to the back colour; the print position returns to (0, 0).
    void cls();
    void pset(int x, int y, ColorRef c);
    // A run of count pixels along row y from x on, one colour each; entries
    // of kNoColor leave their pixel as it is. Clipped to the picture.
    void setPixels(int x, int y, const ColorRef* colors, int count);
    static constexpr ColorRef kNoColor = 0xFFFFFFFFu;
    ColorRef point(int x, int y) const;
    void line(int x1, int y1, int x2, int y2, ColorRef c);
    void fillBox(int x1, int y1, int x2, int y2, ColorRef c);   // both corners inclusive
    void filledCircle(int x, int y, int radius, ColorRef c);
    // Circles up to this radius are stamped from the pixels the painter fills.
    static constexpr int kStampedRadii = 16;

    // Text at the current position in the fore colour; afterwards the
    // position moves to the start of the next text line.
    void setCurrentX(int x) { curX_ = x; }
    void setCurrentY(int y) { curY_ = y; }
    int currentX() const { return curX_; }
    int currentY() const { return curY_; }
    void print(const QString& text);
    int textWidth(const QString& text) const;
    int textHeight(const QString& text = QStringLiteral("S")) const;

    int scaleWidth() const { return img().width(); }
    int scaleHeight() const { return img().height(); }
    // The image with its rows in order; valid until the next drawing call.
    const QImage& image() const;

    // Writes the image as a Windows BMP. On failure returns false and says why.
    bool saveBmp(const QString& path, QString* reason = nullptr) const;

    // Plain source copy of a w x h block from src at (sx, sy) to dest at (dx, dy);
    // src and dest may be the same picture (overlapping blocks are handled).
    static void blockCopy(PictureSurface& dest, int dx, int dy, int w, int h,
                          const PictureSurface& src, int sx, int sy);
    // Moves every row of the picture dy rows down (up when dy is negative):
    // rows pushed past the edge are dropped, the rows uncovered take the back
    // colour. Costs the uncovered rows only, whatever the picture's height.
    void scrollRows(int dy);

    // Boxes outlined over the picture on the screen, one pixel wide in the
    // inverse of what lies under them; the image itself is not touched.
    void setOutlines(const QList<QRect>& boxes);
    const QList<QRect>& outlines() const { return outlines_; }

    // Several drawing calls, for views that draw many labels a packet; the
    // picture is marked changed once, when it ends.
    class Sketch {
    public:
        explicit Sketch(PictureSurface& picture);
        ~Sketch();
        Sketch(const Sketch&) = delete;
        Sketch& operator=(const Sketch&) = delete;

        void line(int x1, int y1, int x2, int y2, ColorRef c);
        void filledCircle(int x, int y, int radius, ColorRef c);
        // Text in the draw font with its top left at (x, y), as print places it.
        // Latin-1 text is stamped from glyphs drawn once per font (no kerning),
        // which makes a label cost a fraction of laying the text out anew.
        void text(int x, int y, const QString& text, ColorRef c);

    private:
        PictureSurface& picture_;
    };

signals:
    void clicked();
    void doubleClicked();
    void mousePressed(QPoint pos, Qt::MouseButtons buttons);
    void mouseMoved(QPoint pos, Qt::MouseButtons buttons);
    void mouseReleased(QPoint pos, Qt::MouseButtons buttons);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;

private:
    struct Glyphs;
    void changed();
    QImage& img() const;          // follows the widget's size; rows still in the ring
    QImage& ordered() const;      // rows in order, for painters and readers
    void unring() const;          // puts the image's rows in order
    uint32_t* row(int y);         // the pixels of picture row y, 0 <= y < height
    const uint32_t* row(int y) const;
    // The painter on the image (rows in order) with the draw font and pen c.
    // It stays open from one drawing call to the next, as opening one costs
    // more than most lines; it is closed before the image is let out or replaced.
    QPainter& painter(ColorRef c) const;
    void endPainter() const;
    // A line of one-pixel width drawn without the painter; false for lines
    // it leaves to the painter.
    bool stepLine(int x1, int y1, int x2, int y2, ColorRef c);

    mutable QImage image_;
    mutable int origin_ = 0;      // the image row that holds picture row 0
    mutable QPainter painter_;    // on image_, while active; declared after it, so closed first
    mutable ColorRef painterPen_ = 0;
    ColorRef back_ = rgb(0, 0, 0);
    ColorRef fore_ = rgb(0, 0, 0);
    QFont font_;
    QFontMetrics metrics_{font_};   // of font_, measured once per font
    std::shared_ptr<Glyphs> glyphs_;   // of font_, drawn when first stamped
    int curX_ = 0;
    int curY_ = 0;
    bool repaintPending_ = false;
    QList<QRect> outlines_;
};
