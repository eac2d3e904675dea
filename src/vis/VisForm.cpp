#include "VisForm.h"

#include <QKeyEvent>
#include <QMenu>
#include <QShowEvent>
#include <QToolTip>

#include "core/packetSummary.h"
#include "platform/PictureSurface.h"
#include "vis/followMenu.h"
#include "vis/packetSelection.h"
#include "vis/screenshotFiles.h"
#include "vis/viewRegistry.h"

VisForm::VisForm(int viewNumber)
    : FormWindow(viewRow(viewNumber).objectName, viewRow(viewNumber).caption, viewRow(viewNumber).menuItem),
      viewNumber_(viewNumber)
{
    connect(&packetSelection(), &PacketSelection::changed, this, &VisForm::outlineChosen);
}

void VisForm::ScreenShot(const QString& systemTime, ScreenshotLog& log) const
{
    writeScreenshots(*this, viewRow(viewNumber_), systemTime, log);
}

void VisForm::showEvent(QShowEvent* e)
{
    FormWindow::showEvent(e);
    watchPictures();
    if (!e->spontaneous()) announceViewOpened(viewNumber_);   // not a restore from minimised
}

// Once, when first shown: the view's pictures exist by then.
void VisForm::watchPictures()
{
    if (watching_) return;
    watching_ = true;
    const std::vector<const PictureSurface*> pictures = screenshotPictures();
    for (size_t i = 0; i < pictures.size(); ++i) {
        auto* pic = const_cast<PictureSurface*>(pictures[i]);   // our own child
        const int picture = int(i);
        ownToolTips_ << pic->toolTip();
        pic->setMouseTracking(true);
        pic->setFocusPolicy(Qt::ClickFocus);
        pic->installEventFilter(this);
        connect(pic, &PictureSurface::mouseMoved, this, [this, picture](QPoint pos) { pictureHovered(picture, pos); });
        connect(pic, &PictureSurface::mousePressed, this, [this, picture](QPoint pos, Qt::MouseButtons buttons) {
            if (!(buttons & Qt::LeftButton)) return;
            const std::vector<int32_t> packets = packetsAt(picture, pos.x(), pos.y(), kReach);
            packetSelection().choose(packets.empty() ? 0 : packets.front());   // empty space unchooses
        });
        // A right click on a mark chooses its packet first; elsewhere the chosen one stays.
        pic->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(pic, &QWidget::customContextMenuRequested, this, [this, picture, pic](QPoint pos) {
            const std::vector<int32_t> packets = packetsAt(picture, pos.x(), pos.y(), kReach);
            if (!packets.empty()) packetSelection().choose(packets.front());
            QMenu* menu = makeFollowMenu(this);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(pic->mapToGlobal(pos));
        });
    }
}

QString VisForm::pointerText(int picture, QPoint pos) const
{
    const std::vector<int32_t> packets = packetsAt(picture, pos.x(), pos.y(), kReach);
    QStringList lines;
    for (size_t i = 0; i < packets.size() && i < size_t(kMostNamed); ++i)
        lines << QString::fromStdString(packetSummary(packets[i]));
    if (packets.size() > size_t(kMostNamed)) lines << QString("and %1 more").arg(packets.size() - kMostNamed);
    return lines.join('\n');
}

void VisForm::pictureHovered(int picture, QPoint pos)
{
    auto* pic = const_cast<PictureSurface*>(screenshotPictures()[size_t(picture)]);
    QString text = pointerText(picture, pos);
    if (text.isEmpty()) text = ownToolTips_.value(picture);
    if (text == pic->toolTip()) return;
    pic->setToolTip(text);
    if (QToolTip::isVisible()) QToolTip::showText(QCursor::pos(), text, pic);
}

void VisForm::outlineChosen(int64_t packet)
{
    if (!watching_) return;
    const std::vector<const PictureSurface*> pictures = screenshotPictures();
    for (size_t i = 0; i < pictures.size(); ++i) {
        QList<QRect> boxes;
        if (packet != 0)
            for (const HitBox& b : marksOf(int(i), int32_t(packet))) boxes << QRect(b.x, b.y, b.w, b.h);
        const_cast<PictureSurface*>(pictures[i])->setOutlines(boxes);
    }
}

bool VisForm::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(e)->key()) {
        case Qt::Key_Up: packetSelection().step(-1); return true;
        case Qt::Key_Down: packetSelection().step(1); return true;
        case Qt::Key_Escape:
            if (packetSelection().chosen() == 0) break;
            packetSelection().clear();
            return true;
        default: break;
        }
    }
    return FormWindow::eventFilter(watched, e);
}

void VisForm::unload()
{
    // A closed window is deleted only once a long load or range has ended:
    // its pictures and what it gathered while drawing give their memory back
    // now (a closing view is never drawn again).
    for (PictureSurface* picture : findChildren<PictureSurface*>()) {
        picture->resize(1, 1);
        picture->image();   // the image follows the size at once, hidden or not
    }
    clear();
}
