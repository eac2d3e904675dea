#include "frmMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QPushButton>
#include <QScreen>
#include <tuple>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "acquire/frmCapture.h"
#include "acquire/modFileData.h"
#include "acquire/modFileWindow.h"
#include "acquire/modSaveData.h"
#include "app/frmAbout.h"
#include "app/frmLogging.h"
#include "app/modFileSettings.h"
#include "app/modInit.h"
#include "platform/PictureSurface.h"
#include "platform/WrappingMenuBar.h"
#include "platform/twips.h"
#include "playback/frmColourRules.h"
#include "playback/frmEncodings.h"
#include "playback/frmFilters.h"
#include "playback/modScreenShots.h"
#include "playback/modVisualize.h"
#include "ui/FormWindow.h"
#include "ui/focusFrame.h"
#include "ui/windowHelpers.h"
#include "vis/VisForm.h"
#include "vis/viewRegistry.h"

namespace {
QPointer<FrmMain> instance;

std::function<void()>& programEnding()
{
    static std::function<void()> ending = [] {
        std::fflush(nullptr);
        std::_Exit(0);
    };
    return ending;
}

// A thumbnail's caption. " byte frequency" and " parallel plot" keep their
// leading blank as text but are drawn without it, so that every caption
// starts in the same column.
class ThumbnailCaption final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        style()->drawItemText(&p, contentsRect(), int(alignment()), palette(), isEnabled(), text().trimmed(),
                              foregroundRole());
    }
};

// Small enough that " byte frequency" fits under its thumbnail.
QFont thumbnailCaptionFont()
{
    QFont f("Liberation Sans");
    f.setPixelSize(11);
    return f;
}
}

FrmMain* frmMain()
{
    if (!instance) {
        instance = new FrmMain;
        initStartup();   // the main window's load handler
    }
    return instance;
}

bool frmMainExists() { return !instance.isNull(); }

void endProgram() { programEnding()(); }
void setProgramEnding(std::function<void()> ending) { programEnding() = std::move(ending); }

FrmMain::FrmMain()
{
    setObjectName("frmMain");
    setWindowTitle("nivora");
    setAttribute(Qt::WA_DeleteOnClose);

    auto* client = new QWidget;
    client->setObjectName("frmMainClient");
    client->setAutoFillBackground(true);
    QPalette pal = client->palette();
    pal.setColor(QPalette::Window, QColor(64, 64, 64));
    client->setPalette(pal);
    client->setFixedSize(twips(1560), twips(7905));   // 104 x 527 pixels
    setCentralWidget(client);

    buildThumbnails(client);
    buildMenus();
    // A window's close box clears its menu check mark.
    connect(&formEvents(), &FormEvents::unloaded, this, [this](const QString& item) {
        if (QAction* action = menuItem(item)) invertMenuCheck(action);
    });
    move(twips(1020), twips(1335));
    // The border is fixed: the window keeps its client size.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void FrmMain::buildThumbnails(QWidget* client)
{
    for (const ViewRow& row : viewRows()) {
        const int k = row.thumbIndex;
        if (k == 0) continue;
        auto* pic = new PictureSurface(client);
        pic->setObjectName(QString("picVis%1").arg(k));
        pic->setGeometry(twips(120), twips(120 + 1200 * (k - 1)), twips(1215), twips(855));
        pic->setBackColor(rgb(0, 0, 0));
        pic->setCursor(Qt::PointingHandCursor);
        pic->setToolTip(QString("Show or hide the %1 window").arg(QString(row.thumbCaption).trimmed()));
        // Reachable with Tab; Space or Enter then opens the view as a click does.
        pic->setFocusPolicy(Qt::StrongFocus);
        pic->installEventFilter(this);
        addFocusFrame(pic);
        const QString item = row.menuItem;
        connect(pic, &PictureSurface::clicked, this, [this, item] { menuItem(item)->trigger(); });
        picVis_[size_t(k - 1)] = pic;

        auto* label = new ThumbnailCaption(row.thumbCaption, client);
        label->setObjectName(QString("Label%1").arg(k));
        label->setGeometry(twips(120), twips(960 + 1200 * (k - 1)), twips(1215), twips(255));
        label->setAutoFillBackground(true);
        label->setFont(thumbnailCaptionFont());
        QPalette pal = label->palette();
        pal.setColor(QPalette::Window, QColor(128, 128, 128));
        label->setPalette(pal);
    }
    // Drawing buffer of the combined view's thumbnail; never shown.
    picVis6Back_ = new PictureSurface(client);
    picVis6Back_->setObjectName("picVis6Back");
    picVis6Back_->setGeometry(twips(240), twips(6120), twips(1215), twips(855));
    picVis6Back_->setBackColor(rgb(0, 0, 0));
    picVis6Back_->hide();
    // Every thumbnail draws on its picture here; the combined view's scrolls through its buffer.
    for (int k = 1; k <= kThumbnailCount; ++k)
        setThumbnailPictures(k, picVis(k), k == 6 ? picVis6Back_ : nullptr);

    tglDetail_ = new QPushButton("packet detail", client);
    tglDetail_->setObjectName("tglDetail");
    tglDetail_->setCheckable(true);
    tglDetail_->setGeometry(twips(120), twips(7440), twips(1215), twips(375));
    // The toggle stands for the view that has no thumbnail, the detail view.
    for (const ViewRow& row : viewRows()) {
        if (row.thumbIndex != 0) continue;
        const QString item = row.menuItem;
        connect(tglDetail_, &QPushButton::clicked, this, [this, item] { menuItem(item)->trigger(); });
    }
}

QAction* FrmMain::addItem(QMenu* menu, const QString& name, const QString& caption, bool shown)
{
    QAction* item = caption == "-" ? menu->addSeparator() : menu->addAction(caption);
    item->setObjectName(name);
    item->setVisible(shown);
    item->setEnabled(shown);
    return item;
}

void FrmMain::addWindowItem(QMenu* menu, const QString& name, const QString& caption,
                            std::function<QWidget*()> window)
{
    QAction* item = addItem(menu, name, caption, true);
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, [item, window] {
        // Choosing the item has already flipped its mark; toggleWindow decides from the mark as it was.
        item->setChecked(!item->isChecked());
        toggleWindow(window(), item);
    });
}

void FrmMain::buildMenus()
{
    // The window is narrow: its menus wrap onto as many rows as they need.
    auto* bar = new WrappingMenuBar(twips(1560), this);
    bar->setObjectName("menuBar");
    setMenuWidget(bar);
    QMenu* file = bar->addMenu("&File");
    file->setObjectName("File");
    connect(addItem(file, "LoadPreferences", "Load &Preferences", false), &QAction::triggered, this,
            [] { loadPreferences(); });
    QAction* loadData = addItem(file, "LoadData", "&Load Nivora Dataset", true);
    connect(loadData, &QAction::triggered, this, [] { openDataset(); });
    connect(addItem(file, "LoadCapture", "Open &Capture File...", true), &QAction::triggered, this,
            [] { openCaptureFile(); });
    // Along a file of more frames than the store holds, a window at a time.
    for (auto [name, caption, keys, direction] : {std::tuple{"NextWindow", "Next &Window", "PgDown", 1},
                                                  std::tuple{"PreviousWindow", "Pre&vious Window", "PgUp", -1}}) {
        QAction* item = addItem(file, name, caption, true);
        item->setShortcut(QKeySequence(keys));
        connect(item, &QAction::triggered, this, [direction] { loadNeighbourWindow(direction); });
        // Shown as available only when there is a window to go to; the keys always ask.
        connect(file, &QMenu::aboutToShow, item, [item, direction] { item->setEnabled(canLoadNeighbourWindow(direction)); });
        connect(file, &QMenu::aboutToHide, item, [item] { item->setEnabled(true); });
    }
    // Along the matches of the last find in the file, from whichever window is active.
    for (auto [name, caption, keys, direction] : {std::tuple{"NextMatch", "Next &Match", "F3", 1},
                                                  std::tuple{"PreviousMatch", "P&revious Match", "Shift+F3", -1}}) {
        QAction* item = addItem(file, name, caption, true);
        item->setShortcut(QKeySequence(keys));
        item->setShortcutContext(Qt::ApplicationShortcut);
        connect(item, &QAction::triggered, this, [direction] { loadMatchWindow(direction); });
        connect(file, &QMenu::aboutToShow, item, [item, direction] { item->setEnabled(canLoadMatchWindow(direction)); });
        connect(file, &QMenu::aboutToHide, item, [item] { item->setEnabled(true); });
    }
    addItem(file, "FileSeparator1", "-", false);
    connect(addItem(file, "SaveSettings", "&Save Preferences", false), &QAction::triggered, this,
            [] { savePreferences(); });
    connect(addItem(file, "SaveData", "Save Da&taset", true), &QAction::triggered, this, [] { saveDataset(); });
    connect(addItem(file, "SaveScreenshot", "Save Scree&nshots", false), &QAction::triggered, this,
            [] { showScreenshotDialog(); });
    addItem(file, "fileseparator2", "-", true);
    QAction* exit = addItem(file, "exit", "E&xit", true);
    connect(exit, &QAction::triggered, this, [] {
        if (mayQuit()) endProgram();
    });
    // From whichever of the program's windows is active.
    for (auto [item, keys] : {std::pair{loadData, "Ctrl+O"}, std::pair{exit, "Ctrl+Q"}}) {
        item->setShortcut(QKeySequence(keys));
        item->setShortcutContext(Qt::ApplicationShortcut);
    }

    QMenu* tools = bar->addMenu("&Toolbars");
    tools->setObjectName("Toolbars");
    addWindowItem(tools, "ToolCapture", "&Capture", [] { return frmCapture(); });
    addWindowItem(tools, "ToolFilters", "&PVR", [] { return frmFilters(); });
    addWindowItem(tools, "ToolEncodings", "&Filters", [] { return frmEncodings(); });
    addWindowItem(tools, "ToolColourRules", "Colour &Rules", [] { return frmColourRules(); });
    addWindowItem(tools, "ToolLogging", "&Logging", [] { return frmLogging(); });
    menuItem("ToolLogging")->setVisible(false);
    menuItem("ToolLogging")->setEnabled(false);

    QMenu* view = bar->addMenu("&View");
    view->setObjectName("View");
    for (const ViewRow& row : viewRows())
        addWindowItem(view, row.menuItem, row.menuCaption, [this, &row] { return placedBeside(row.window(), row.number); });
    addItem(view, "ViewSeparator", "-", true);
    QAction* redraw = addItem(view, "Redraw", "R&edraw", true);
    redraw->setShortcut(QKeySequence(Qt::Key_F5));
    redraw->setShortcutContext(Qt::ApplicationShortcut);
    connect(redraw, &QAction::triggered, this, [] { redrawVisualizations(); });

    QMenu* help = bar->addMenu("&Help");
    help->setObjectName("Help");
    connect(addItem(help, "HelpAbout", "&About", true), &QAction::triggered, this, [] {
        frmAbout()->show();
        frmAbout()->raise();
    });
}

QWidget* FrmMain::placedBeside(QWidget* window, int order)
{
    // A view opens to the right of this narrow window, the views cascaded
    // down and right in their menu order; where the user moves one, it stays.
    if (window->property("placedBeside").toBool()) return window;
    window->setProperty("placedBeside", true);
    constexpr int kGap = 12, kCascade = 28;
    const QRect main = frameGeometry();
    QPoint at(main.right() + 1 + kGap + kCascade * (order - 1), main.top() + kCascade * (order - 1));
    if (const QScreen* screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        const QSize size = window->frameGeometry().size();
        at.setX(std::max(room.left(), std::min(at.x(), room.right() + 1 - size.width())));
        at.setY(std::max(room.top(), std::min(at.y(), room.bottom() + 1 - size.height())));
    }
    window->move(at);
    return window;
}

QAction* FrmMain::menuItem(const QString& name) const { return findChild<QAction*>(name); }

bool FrmMain::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        for (int k = 1; k <= kThumbnailCount; ++k) {
            if (watched != picVis(k)) continue;
            if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter) break;
            emit picVis(k)->clicked();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void FrmMain::keyPressEvent(QKeyEvent* e)
{
    if (!pressFocusedButton(this, e)) QMainWindow::keyPressEvent(e);
}

void FrmMain::closeEvent(QCloseEvent* e)
{
    if (!mayQuit()) {
        e->ignore();   // Cancel: the program goes on
        return;
    }
    e->accept();
    endProgram();
}
