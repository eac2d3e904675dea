#include "frmMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>

#include "acquire/frmCapture.h"
#include "acquire/modFileData.h"
#include "acquire/modSaveData.h"
#include "acquire/frmAbout.h"
#include "acquire/frmLogging.h"
#include "app/modInit.h"
#include "app/windowHelpers.h"
#include "platform/PictureSurface.h"
#include "platform/WrappingMenuBar.h"
#include "platform/twips.h"
#include "playback/frmEncodings.h"
#include "playback/frmFilters.h"
#include "playback/modScreenShots.h"
#include "vis/visWindows.h"

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

// Small enough that " byte frequency" fits under its thumbnail.
QFont thumbnailCaptionFont()
{
    QFont f("Liberation Sans");
    f.setPixelSize(11);
    return f;
}

const char* const kThumbCaptions[6] = {"text rainfall", " byte frequency", " parallel plot",
                                       "binary rainfall", "scatter plot", "combined"};
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
    move(twips(1020), twips(1335));
    // The border is fixed: the window keeps its client size.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void FrmMain::buildThumbnails(QWidget* client)
{
    for (int k = 1; k <= 6; ++k) {
        auto* pic = new PictureSurface(client);
        pic->setObjectName(QString("picVis%1").arg(k));
        pic->setGeometry(twips(120), twips(120 + 1200 * (k - 1)), twips(1215), twips(855));
        pic->setBackColor(rgb(0, 0, 0));
        pic->setCursor(Qt::PointingHandCursor);
        pic->setToolTip(QString("Show or hide the %1 window").arg(QString(kThumbCaptions[k - 1]).trimmed()));
        connect(pic, &PictureSurface::clicked, this, [this, k] { menuItem(QString("vis%1").arg(k))->trigger(); });
        picVis_[size_t(k - 1)] = pic;

        auto* label = new QLabel(kThumbCaptions[k - 1], client);
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

    tglDetail_ = new QPushButton("packet detail", client);
    tglDetail_->setObjectName("tglDetail");
    tglDetail_->setCheckable(true);
    tglDetail_->setGeometry(twips(120), twips(7440), twips(1215), twips(375));
    connect(tglDetail_, &QPushButton::clicked, this, [this] { menuItem("vis7")->trigger(); });
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
    connect(item, &QAction::triggered, this, [item, name, window] {
        // Choosing the item has already flipped its mark; toggleWindow decides from the mark as it was.
        item->setChecked(!item->isChecked());
        toggleWindow(window(), name);
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
    addItem(file, "LoadPreferences", "Load &Preferences", false);
    connect(addItem(file, "LoadData", "&Load Nivora Dataset", true), &QAction::triggered, this, [] { openDataset(); });
    connect(addItem(file, "LoadCapture", "Open &Capture File...", true), &QAction::triggered, this,
            [] { openCaptureFile(); });
    addItem(file, "FileSeparator1", "-", false);
    addItem(file, "SaveSettings", "&Save Preferences", false);
    connect(addItem(file, "SaveData", "Save Da&taset", true), &QAction::triggered, this, [] { saveDataset(); });
    connect(addItem(file, "SaveScreenshot", "Save Scree&nshots", false), &QAction::triggered, this,
            [] { showScreenshotDialog(); });
    addItem(file, "fileseparator2", "-", true);
    connect(addItem(file, "exit", "E&xit", true), &QAction::triggered, this, [] { endProgram(); });

    QMenu* tools = bar->addMenu("&Toolbars");
    tools->setObjectName("Toolbars");
    addWindowItem(tools, "ToolCapture", "&Capture", [] { return frmCapture(); });
    addWindowItem(tools, "ToolFilters", "&PVR", [] { return frmFilters(); });
    addWindowItem(tools, "ToolEncodings", "&Filters", [] { return frmEncodings(); });
    addWindowItem(tools, "ToolLogging", "&Logging", [] { return frmLogging(); });
    menuItem("ToolLogging")->setVisible(false);
    menuItem("ToolLogging")->setEnabled(false);

    QMenu* view = bar->addMenu("&View");
    view->setObjectName("View");
    const char* const captions[7] = {"&Text Rainfall", "&Byte Frequency", "&Parallel Plot", "Binary &Rainfall",
                                     "&Scatter Plot", "&Combined", "&Detail"};
    for (int k = 1; k <= 7; ++k)
        addWindowItem(view, QString("vis%1").arg(k), captions[k - 1], [k] { return visForm(k); });

    QMenu* help = bar->addMenu("&Help");
    help->setObjectName("Help");
    connect(addItem(help, "HelpAbout", "&About", true), &QAction::triggered, this, [] {
        frmAbout()->show();
        frmAbout()->raise();
    });
}

QAction* FrmMain::menuItem(const QString& name) const { return findChild<QAction*>(name); }

void FrmMain::closeEvent(QCloseEvent* e)
{
    e->accept();
    endProgram();
}
