#include "frmVis1.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "app/frmMain.h"
#include "core/accessors.h"
#include "core/rounding.h"
#include "platform/PictureSurface.h"
#include "platform/SpinButton.h"
#include "platform/twips.h"
#include "playback/modEncodings.h"
#include "playback/modScreenShots.h"
#include "vis/byteTextFont.h"

namespace {
QPointer<FrmVis1> instance;

constexpr ColorRef kThumbLine = rgb(0, 255, 0);
constexpr int kButtonHeight = 24;

// Writes "<number>  " so that it ends just before position end; returns where it starts.
int writePrefix(char16_t* buffer, int end, int32_t number)
{
    int at = end;
    buffer[--at] = u' ';
    buffer[--at] = u' ';
    buffer[--at] = u'>';
    int64_t v = number < 0 ? -int64_t(number) : number;
    do {
        buffer[--at] = char16_t(u'0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (number < 0) buffer[--at] = u'-';
    buffer[--at] = u'<';
    return at;
}
}

FrmVis1* frmVis1() { return formInstance(instance); }

FrmVis1::FrmVis1() : FormWindow("frmVis1", "nivora: Text Rainfall", "vis1")
{
    picGraphBack = new PictureSurface(this);
    picGraphBack->setObjectName("picGraphBack");
    picGraphBack->setBackColor(rgb(0, 0, 0));
    picGraphBack->hide();

    picGraph = new PictureSurface(this);
    picGraph->setObjectName("picGraph");
    picGraph->setBackColor(rgb(0, 0, 0));
    picGraph->setDrawFont(byteTextFont());
    picGraph->setToolTip("Double-click for the next display mode");
    cellWidth_ = std::max(1, picGraph->textWidth("S"));

    cmbVisMode = new QComboBox(this);
    cmbVisMode->setObjectName("cmbVisMode");
    cmbVisMode->setToolTip("Display mode");

    tglPrintASCII = new QPushButton("Show Strings of Length N", this);
    tglPrintASCII->setObjectName("tglPrintASCII");
    tglPrintASCII->setCheckable(true);

    spnLength = new SpinButton(1, 9, 1, this);
    spnLength->setObjectName("spnLength");
    spnLength->setToolTip("N, the shortest string shown");

    lblLength = new QLabel(this);
    lblLength->setObjectName("lblLength");
    lblLength->setAlignment(Qt::AlignCenter);

    tglEther = new QPushButton("Strip Ether Header", this);
    tglEther->setObjectName("tglEther");
    tglEther->setCheckable(true);

    setMinimumSize(twips(2000), twips(3000));
    resize(640, 480);

    // Load: the modes are listed, "ASCII" is selected and the view starts afresh.
    cmbVisMode->addItems({"ASCII", "hex", "decimal"});
    cmbVisMode->setCurrentIndex(0);
    initVisAll();
    lblLength->setText(QString::number(spnLength->value()));

    connect(cmbVisMode, &QComboBox::currentIndexChanged, this, [this] { initVisAll(); });
    connect(picGraph, &PictureSurface::doubleClicked, this, &FrmVis1::selectNextMode);
    connect(tglPrintASCII, &QPushButton::toggled, this, &FrmVis1::showStringControls);
    connect(spnLength, &SpinButton::valueChanged, this, [this](int v) { lblLength->setText(QString::number(v)); });
}

int FrmVis1::scaleRange(int value, int range)
{
    if (range <= 0) return 0;
    return roundHalfEven(double(value) * range / 1518.0);
}

int FrmVis1::lineCells() const { return roundHalfEven(double(picGraph->scaleWidth()) / cellWidth_); }

QString FrmVis1::lastLine() const
{
    return QString(reinterpret_cast<const QChar*>(line_.data() + lineStart_), lineLength_);
}

void FrmVis1::Plot(const PacketToDraw& packet)
{
    picGraph->setForeColor(encodingColor(getIPProtocol(packet.number)));

    RainLineRules rules;
    rules.mode = RainMode(std::clamp(cmbVisMode->currentIndex(), 0, 2));
    rules.stripEther = tglEther->isChecked();
    rules.stringsOnly = tglPrintASCII->isChecked();
    rules.minString = spnLength->value();
    rules.cells = lineCells();
    const int length = buildRainLine(line_.data() + kPrefixRoom, packet.bytes, packet.len, rules);

    lineStart_ = kPrefixRoom;
    lineLength_ = length;
    if (rules.mode == RainMode::Ascii) {
        if (length == 0) return;   // an empty character line prints nothing and keeps its row
        if (packet.number != -1) {
            lineStart_ = writePrefix(line_.data(), kPrefixRoom, packet.number);
            lineLength_ += kPrefixRoom - lineStart_;
        }
    }
    printLine(lineStart_, lineLength_);
}

void FrmVis1::printLine(int start, int length)
{
    // Characters past the right edge are not drawn: a hex line is four times wider than the picture.
    const int visible = std::min(length, picGraph->scaleWidth() / cellWidth_ + 1);
    picGraph->setCurrentX(0);
    picGraph->setCurrentY(currentRow_);
    picGraph->print(QString::fromRawData(reinterpret_cast<const QChar*>(line_.data() + start), visible));

    // Advance, wrapping to the top when fewer than a row's height would remain
    // below the next row, then keep the band under the newest line blank.
    const int h = picGraph->scaleHeight();
    currentRow_ = currentRow_ + 2 * kRowPitch <= h ? currentRow_ + kRowPitch : 0;
    picGraph->fillBox(0, currentRow_, picGraph->scaleWidth() - 1, currentRow_ + kRowPitch - 1,
                      picGraph->backColor());
}

void FrmVis1::plotThumbnail(const PacketToDraw& packet)
{
    PictureSurface* thumb = frmMain()->picVis(1);
    const int width = thumb->scaleWidth();
    thumb->line(0, thumbRow_, scaleRange(packet.len, width), thumbRow_, kThumbLine);
    // The next row, on the picture (row 0 after the last), is erased for the next packet.
    thumbRow_ = thumbRow_ + 1 < thumb->scaleHeight() ? thumbRow_ + 1 : 0;
    thumb->line(0, thumbRow_, width, thumbRow_, thumb->backColor());
}

void FrmVis1::initVis()
{
    currentRow_ = 0;
    picGraph->cls();
    picGraphBack->cls();
    const bool ascii = cmbVisMode->currentIndex() == int(RainMode::Ascii);
    tglPrintASCII->setVisible(ascii);
    showStringControls();
}

void FrmVis1::initVisAll()
{
    initVis();
    initVisThumb();
}

// N matters only while strings are shown in ASCII mode.
void FrmVis1::showStringControls()
{
    const bool shown = cmbVisMode->currentIndex() == int(RainMode::Ascii) && tglPrintASCII->isChecked();
    spnLength->setVisible(shown);
    lblLength->setVisible(shown);
}

void FrmVis1::selectNextMode() { cmbVisMode->setCurrentIndex((cmbVisMode->currentIndex() + 1) % 3); }

void FrmVis1::clear()
{
    currentRow_ = 0;
    picGraph->cls();
    picGraphBack->cls();
    thumbRow_ = 0;
    frmMain()->picVis(1)->cls();
}

void FrmVis1::ScreenShot(const QString& systemTime, ScreenshotLog& log)
{
    writeScreenshot(*picGraph, systemTime, "_textrainfall.bmp", log);
}

void FrmVis1::resizeEvent(QResizeEvent* e)
{
    FormWindow::resizeEvent(e);
    layoutControls();
}

// The picture fills the window above a band of 1100 twips holding the controls;
// a resize starts the picture afresh.
void FrmVis1::layoutControls()
{
    const int graphHeight = std::max(1, height() - twips(1100));
    for (PictureSurface* pic : {picGraph, picGraphBack}) {
        pic->setGeometry(0, 0, width(), graphHeight);
        pic->cls();
    }
    const int comboTop = graphHeight + twips(150);
    cmbVisMode->setGeometry(8, comboTop, 110, cmbVisMode->sizeHint().height());
    const int rowTop = comboTop + cmbVisMode->height() + 6;
    tglPrintASCII->setGeometry(8, rowTop, 180, kButtonHeight);
    spnLength->setGeometry(192, rowTop, 18, kButtonHeight);
    lblLength->setGeometry(212, rowTop, 20, kButtonHeight);
    tglEther->setGeometry(240, rowTop, 140, kButtonHeight);
    currentRow_ = 0;
}
