#include "frmLoadDataset.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QHBoxLayout>
#include <algorithm>
#include <limits>

#include "acquire/modFileWindow.h"
#include "acquire/overviewStrip.h"
#include "core/fileFind.h"
#include "core/frameWindow.h"
#include "core/modLibrary.h"

namespace {
QPointer<FrmLoadDataset> instance;

QLabel* label(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}
}

FrmLoadDataset* frmLoadDataset() { return formInstance(instance); }

FrmLoadDataset::FrmLoadDataset() : FormWindow("frmLoadDataset", "Load Dataset")
{
    lblFile = label(this, "lblFile", "File:");
    lblFileVariable = label(this, "lblFileVariable", "Insert Status Here");
    lblFileVariable->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label1 = label(this, "Label1", "File Size:");
    lblFileSizeVariable = label(this, "lblFileSizeVariable", "Insert Status Here");
    lblFileLoad = label(this, "lblFileLoad", "File Load Status:");
    lblFileLoadStatusVariable = label(this, "lblFileLoadStatusVariable", "Insert Status Here");
    lblProcessingPackets = label(this, "lblProcessingPackets", "Packet Processing Progress");
    pbProcessing = new QProgressBar(this);
    pbProcessing->setObjectName("pbProcessing");
    pbProcessing->setRange(0, 100);
    pbProcessing->setValue(0);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblFile, 0, 0);
    grid->addWidget(lblFileVariable, 0, 1);
    grid->addWidget(Label1, 1, 0);
    grid->addWidget(lblFileSizeVariable, 1, 1);
    grid->addWidget(lblFileLoad, 2, 0);
    grid->addWidget(lblFileLoadStatusVariable, 2, 1);
    grid->addWidget(lblProcessingPackets, 3, 0, 1, 2);
    grid->addWidget(pbProcessing, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    fraWindow = new QWidget(this);
    fraWindow->setObjectName("fraWindow");
    picOverview = new OverviewStrip(fraWindow);
    picOverview->setObjectName("picOverview");
    lblWindowFirst = label(fraWindow, "lblWindowFirst", "&First frame or time:");
    txtWindowFirst = new QLineEdit(fraWindow);
    txtWindowFirst->setObjectName("txtWindowFirst");
    // A frame number, or a time: local as the player shows it, or @ and seconds since 1970.
    txtWindowFirst->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9@:. -]{1,40}"), txtWindowFirst));
    txtWindowFirst->setToolTip("The window's first frame number, or a time: local as the player shows it "
                               "(2023-11-14 23:13:20.5) or @ and seconds since 1970 (@1700000000.5).\n"
                               "A bare number is a frame number; one past the last frame is taken as seconds "
                               "since 1970 when the file was captured then.");
    // Room for a time to the microsecond, as the player shows it.
    txtWindowFirst->setMinimumWidth(txtWindowFirst->fontMetrics().horizontalAdvance("2023-11-14 23:13:20.000000  "));
    lblWindowFirst->setBuddy(txtWindowFirst);
    lblWindowRange = label(fraWindow, "lblWindowRange", "");
    btnLoadWindow = new QPushButton("&Load Window", fraWindow);
    btnLoadWindow->setObjectName("btnLoadWindow");
    btnLoadWindow->setToolTip("Load the frames of the window into the player");
    auto* chooser = new QGridLayout(fraWindow);
    chooser->setContentsMargins(0, 8, 0, 0);
    chooser->addWidget(picOverview, 0, 0, 1, 4);
    chooser->addWidget(lblWindowFirst, 1, 0);
    chooser->addWidget(txtWindowFirst, 1, 1);
    chooser->addWidget(lblWindowRange, 1, 2);
    chooser->addWidget(btnLoadWindow, 1, 3);
    lblFindInFile = label(fraWindow, "lblFindInFile", "Find &in file:");
    cmbFindInFile = new QComboBox(fraWindow);
    cmbFindInFile->setObjectName("cmbFindInFile");
    cmbFindInFile->setEditable(true);
    cmbFindInFile->setInsertPolicy(QComboBox::NoInsert);
    cmbFindInFile->setToolTip("A filter expression (tcp port 80 or host 10.0.0.5) to find across the whole file");
    lblFindInFile->setBuddy(cmbFindInFile);
    btnFindInFile = new QPushButton("Fin&d", fraWindow);
    btnFindInFile->setObjectName("btnFindInFile");
    btnFindInFile->setToolTip("Find the frames of the whole file the expression matches; File > Next Match (F3) goes there");
    btnStopFind = new QPushButton("&Stop", fraWindow);
    btnStopFind->setObjectName("btnStopFind");
    btnStopFind->setEnabled(false);
    lblFindResult = label(fraWindow, "lblFindResult", "");
    chooser->addWidget(lblFindInFile, 2, 0);
    chooser->addWidget(cmbFindInFile, 2, 1, 1, 2);
    auto* findButtons = new QHBoxLayout;
    findButtons->addWidget(btnFindInFile);
    findButtons->addWidget(btnStopFind);
    chooser->addLayout(findButtons, 2, 3);
    chooser->addWidget(lblFindResult, 3, 0, 1, 4);
    chooser->setColumnStretch(2, 1);
    const auto find = [this] {
        const QString text = cmbFindInFile->currentText().trimmed();
        if (cmbFindInFile->findText(text) < 0) cmbFindInFile->insertItem(0, text);
        findInHeldFile(text);
    };
    connect(btnFindInFile, &QPushButton::clicked, this, find);
    connect(cmbFindInFile->lineEdit(), &QLineEdit::returnPressed, this, find);
    connect(btnStopFind, &QPushButton::clicked, this, [] { stopFindInFile(); });
    grid->addWidget(fraWindow, 5, 0, 1, 2);
    fraWindow->hide();

    connect(picOverview, &OverviewStrip::windowMoved, this, [this](int64_t first) {
        chooseFirst(first);
        txtWindowFirst->setText(QString::number(first_));
    });
    const auto isNumber = [](const QString& text) {
        return !text.isEmpty() && text.size() <= 15 && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    };
    connect(txtWindowFirst, &QLineEdit::textEdited, this, [this, isNumber](const QString& text) {
        if (isNumber(text) && text.toLongLong() <= frames_) chooseFirst(text.toLongLong());   // past it: a time, maybe
    });
    const auto load = [this, isNumber] {
        const QString typed = txtWindowFirst->text().trimmed();
        if (!typed.isEmpty() && (!isNumber(typed) || typed.toLongLong() > frames_)) {
            loadFileWindowAtTime(typed);   // a time, or a number no frame has
            return;
        }
        txtWindowFirst->setText(QString::number(first_));   // where a number near the end took it
        loadFileWindow(first_);
    };
    connect(txtWindowFirst, &QLineEdit::returnPressed, this, load);
    connect(btnLoadWindow, &QPushButton::clicked, this, load);
    resize(480, 170);
}

void FrmLoadDataset::showFindRunning(bool running, int64_t matchesSoFar)
{
    btnFindInFile->setEnabled(!running);
    btnStopFind->setEnabled(running);
    if (running) lblFindResult->setText(QString("Finding: %1 frames match so far").arg(QString::fromStdString(groupedNumber(matchesSoFar))));
}

void FrmLoadDataset::showMatches(const FileMatches& matches, bool byTime)
{
    picOverview->setMatches(byTime ? matches.byTime.counts : matches.byFrame.counts);
    const QString count = QString::fromStdString(groupedNumber(matches.count));
    QString text = QString("%1 frame%2 match").arg(count, matches.count == 1 ? "" : "s");
    if (matches.count > 0) {
        text += QString("; first at frame %1").arg(matches.firstFrame);
        if (matches.firstTime != kNoTime) text += QString(" (%1)").arg(QString::fromStdString(localTimeText(matches.firstTime)));
    }
    if (matches.stopped)
        text = QString("Stopped after %1 frames: %2").arg(QString::fromStdString(groupedNumber(matches.frames)), text);
    lblFindResult->setText(text);
}

void FrmLoadDataset::showWindowChooser(const FrameOverview& overview, int64_t frames, int64_t first,
                                       const FrameOverview* byTime, int64_t farTimes)
{
    frames_ = frames;
    picOverview->setOverview(overview, frames, byTime, farTimes);
    picOverview->setMatches({});
    lblFindResult->clear();
    chooseFirst(first);
    txtWindowFirst->setText(QString::number(first_));
    fraWindow->show();
    resize(width(), sizeHint().height());
    txtWindowFirst->setFocus();
    txtWindowFirst->selectAll();
}

void FrmLoadDataset::hideWindowChooser()
{
    fraWindow->hide();
    resize(width(), 170);
}

void FrmLoadDataset::chooseFirst(int64_t first)
{
    const FrameWindow window = windowAt(first, frames_, kSlotCount);
    first_ = window.first;
    picOverview->setWindow(window.first, window.size());
    lblWindowRange->setText(QString::fromStdString(describeWindow(window, frames_)));
}

void FrmLoadDataset::setProgressRange(int64_t fileLength)
{
    shift_ = 0;
    while ((fileLength >> shift_) > std::numeric_limits<int>::max()) ++shift_;
    pbProcessing->setRange(0, int(fileLength >> shift_));
    pbProcessing->setValue(0);
}

void FrmLoadDataset::setProgressPosition(int64_t position) { pbProcessing->setValue(int(position >> shift_)); }
