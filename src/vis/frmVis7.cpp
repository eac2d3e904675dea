#include "frmVis7.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QtMath>
#include <algorithm>
#include <QTextCharFormat>
#include "core/packetSummary.h"
#include "platform/SpinButton.h"
#include "platform/colorRef.h"
#include "platform/twips.h"
#include "vis/byteTextFont.h"

namespace {
QPointer<FrmVis7> instance;

constexpr int kRowHeight = 24;

QPlainTextEdit* makeBox(QWidget* parent, const char* name, QTextOption::WrapMode wrap)
{
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // One unbroken line of text, wrapped at the box's width.
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setWordWrapMode(wrap);
    box->setUndoRedoEnabled(false);
    // Protocol colours are bright: they read on black, as in the other views.
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Text, Qt::white);   // the caret; the bytes carry their own colour
    box->setPalette(pal);
    return box;
}
}

FrmVis7* frmVis7() { return formInstance(instance); }

FrmVis7::FrmVis7() : VisForm(7)
{
    // Characters wrap wherever the width is reached, keeping an even grid;
    // the numbers wrap at their blanks, so no byte is split across lines.
    txtASCII = makeBox(this, "txtASCII", QTextOption::WrapAnywhere);
    txtHex = makeBox(this, "txtHex", QTextOption::WrapAtWordBoundaryOrAnywhere);
    txtASCII->setFont(byteTextFont());
    txtHex->setFont(byteTextFont());

    lblFontSize = new QLabel("font size", this);
    lblFontSize->setObjectName("lblFontSize");
    lblCurrentFontSize = new QLabel("8", this);
    lblCurrentFontSize->setObjectName("lblCurrentFontSize");
    lblCurrentFontSize->setAlignment(Qt::AlignCenter);
    spnFontSize = new SpinButton(8, 24, 8, this);
    spnFontSize->setObjectName("spnFontSize");
    spnFontSize->setToolTip("Font size of both boxes");
    connect(spnFontSize, &SpinButton::valueChanged, this, &FrmVis7::setFontSize);
    lblCaptureTime = new QLabel(this);
    lblCaptureTime->setObjectName("lblCaptureTime");
    lblCaptureTime->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblCaptureTime->setToolTip("The packet shown, when it was captured (local time), and how long after the packet before it");

    refresh_.setSingleShot(true);
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, &FrmVis7::flush);

    setMinimumSize(twips(2000), twips(3000));
    resize(520, 420);
}

void FrmVis7::Plot(const PacketToDraw& packet)
{
    text_.Plot(packet);
    shown_ = packet.number;
    // Rebuilding and laying out up to 6404 characters for every packet would
    // hold back fast playback; only the newest packet of a refresh is shown.
    pending_ = true;
    if (!refresh_.isActive()) refresh_.start();
}

void FrmVis7::flush()
{
    refresh_.stop();
    if (!pending_) return;
    pending_ = false;

    text_.build();
    // The colour goes in as the text's format: the box keeps it across
    // setPlainText, and it costs no second layout as a palette change would.
    QTextCharFormat format;
    format.setForeground(toQColor(text_.textColor()));
    for (QPlainTextEdit* box : {txtASCII, txtHex}) box->setCurrentCharFormat(format);
    txtASCII->setPlainText(text_.ascii());
    txtHex->setPlainText(text_.hex());
    lblCaptureTime->setText(text_.time());
    // The boxes' tool tip names the packet they show.
    const QString name = QString::fromStdString(packetSummary(shown_));
    for (QPlainTextEdit* box : {txtASCII, txtHex}) box->setToolTip(name);
}

std::vector<int32_t> FrmVis7::packetsAt(int, int, int, int) const
{
    if (shown_ == kNoPacket) return {};
    return {shown_};
}

void FrmVis7::clear()
{
    refresh_.stop();
    pending_ = false;
    shown_ = kNoPacket;
    for (QPlainTextEdit* box : {txtASCII, txtHex}) {
        box->clear();
        box->setToolTip({});
    }
    lblCaptureTime->clear();
}

void FrmVis7::setFontSize(int points)
{
    lblCurrentFontSize->setText(QString::number(points));
    for (QPlainTextEdit* box : {txtASCII, txtHex}) {
        QFont f = box->font();
        f.setPointSize(points);
        box->setFont(f);
    }
    layoutControls();   // whole lines of the new size
}

void FrmVis7::resizeEvent(QResizeEvent* e)
{
    VisForm::resizeEvent(e);
    layoutControls();
}

// Two boxes stacked, each given half the room above the font-size row,
// which sits at the bottom of the window; what whole lines leave over lies
// between the boxes and the row.
void FrmVis7::layoutControls()
{
    const int rowTop = height() - kRowHeight - 4;
    const int boxWidth = width() - twips(100);
    const int half = std::max(0, (rowTop - 4) / 2);
    txtASCII->setGeometry(0, 0, boxWidth, wholeLines(txtASCII, half));
    txtHex->setGeometry(0, txtASCII->height(), boxWidth, wholeLines(txtHex, half));
    lblFontSize->setGeometry(4, rowTop, 60, kRowHeight);
    lblCurrentFontSize->setGeometry(66, rowTop, 24, kRowHeight);
    spnFontSize->setGeometry(92, rowTop, 18, kRowHeight);
    lblCaptureTime->setGeometry(118, rowTop, std::max(0, width() - 122), kRowHeight);
}

// The tallest height up to `room` at which the box shows a whole number of
// its lines: the box scrolls by lines, so any rest would show the last
// visible row cut through.
int FrmVis7::wholeLines(const QPlainTextEdit* box, int room)
{
    const int chrome = 2 * box->frameWidth() + 2 * qCeil(box->document()->documentMargin());
    const int line = box->fontMetrics().lineSpacing();
    return chrome + std::max(1, (room - chrome) / line) * line;
}
