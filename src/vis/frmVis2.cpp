#include "frmVis2.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolTip>

#include "core/rounding.h"
#include "platform/PictureSurface.h"
#include "platform/twips.h"
#include "ui/controlNames.h"

namespace {
QPointer<FrmVis2> instance;

constexpr int kGraphWidth = 3870, kGraphHeight = 6300;   // twips: 258 x 420 pixels, a column per byte value

QLabel* label(const char* name, const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}
}

FrmVis2* frmVis2() { return formInstance(instance); }

FrmVis2::FrmVis2() : VisForm(2)
{
    const int w = twips(kGraphWidth), h = twips(kGraphHeight);
    picGraphBack = new PictureSurface(this);
    picGraphBack->setObjectName("picGraphBack");
    picGraphBack->setBackColor(rgb(0, 0, 0));
    picGraphBack->setGeometry(0, 0, w, h);
    picGraphBack->hide();

    picGraph = new PictureSurface(this);
    picGraph->setObjectName("picGraph");
    picGraph->setBackColor(rgb(0, 0, 0));
    picGraph->setGeometry(0, 0, w, h);
    picGraph->setMouseTracking(true);   // the read-out follows the pointer without a button down
    bytes_ = std::make_unique<ByteFrequency>(*picGraph, *picGraphBack);

    Label1 = label("Label1", "0", this);
    Label1->setGeometry(0, twips(6330), 40, 16);
    Label2 = label("Label2", "255", this);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label2->setGeometry(256 - 40, twips(6330), 40, 16);

    cmbVisMode = new QComboBox(this);
    cmbVisMode->setObjectName("cmbVisMode");
    cmbVisMode->setToolTip("Colour mode");
    cmbVisMode->setGeometry(4, twips(6630), 190, cmbVisMode->sizeHint().height());

    auto* scrollGroup = new QButtonGroup(this);
    const char* scrollCaptions[] = {"Static Scroll", "Dynamic Scroll"};
    std::array<QLabel*, 2> scrollLabels{};
    for (int i = 0; i < 2; ++i) {
        const int left = 4 + 128 * i, radio = twips(255);
        radScroll[size_t(i)] = new QRadioButton(this);
        nameArrayElement(radScroll[size_t(i)], "radScroll", i);
        radScroll[size_t(i)]->setToolTip(scrollCaptions[i]);
        radScroll[size_t(i)]->setGeometry(left, twips(7080), radio, radio);
        scrollGroup->addButton(radScroll[size_t(i)], i);
        scrollLabels[size_t(i)] = new QLabel(scrollCaptions[i], this);
        scrollLabels[size_t(i)]->setBuddy(radScroll[size_t(i)]);
        scrollLabels[size_t(i)]->setGeometry(left + radio + 4, twips(7080), 100, radio);
    }
    lblStaticScroll = scrollLabels[0];
    lblStaticScroll->setObjectName("lblStaticScroll");
    lblDynamicScroll = scrollLabels[1];
    lblDynamicScroll->setObjectName("lblDynamicScroll");
    radScroll[0]->setChecked(true);

    // The threshold strip, under the window's lower edge while it is hidden.
    const int strip = twips(kHeightTwips);
    lblFrequencyThreshold = label("lblFrequencyThreshold", "Frequency Threshold", this);
    lblFrequencyThreshold->setGeometry(4, strip + twips(60), 200, 16);
    lblThresholdMin = label("lblThresholdMin", "0", this);
    lblThresholdMin->setGeometry(4, strip + twips(330), 20, 17);
    scrThreshold = new QScrollBar(Qt::Horizontal, this);
    scrThreshold->setObjectName("scrThreshold");
    scrThreshold->setRange(0, 1000);
    scrThreshold->setToolTip("Share of a packet above which a byte value is drawn red");
    scrThreshold->setGeometry(24, strip + twips(330), w - 64, 17);
    lblThresholdMax = label("lblThresholdMax", "20%", this);
    lblThresholdMax->setGeometry(w - 36, strip + twips(330), 34, 17);
    lblThresholdMax->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblThreshold = label("lblThreshold", "", this);
    lblThreshold->setAlignment(Qt::AlignCenter);
    lblThreshold->setGeometry(0, strip + twips(690), w, 16);

    setFixedSize(w, twips(kHeightTwips) + twips(kStripTwips));

    // Load: the window loses the strip's height, "byte presence" is selected
    // (which hides the strip) and the threshold starts at half the scale, 10%.
    cmbVisMode->addItems({"byte presence", "byte frequency (by packet)"});
    cmbVisMode->setCurrentIndex(0);
    switchMode();
    scrThreshold->setValue(roundHalfEven(scrThreshold->maximum() / 2.0));
    showThreshold();

    // A colour mode applies to the packets drawn from now on; what is drawn keeps its colours.
    connect(cmbVisMode, &QComboBox::currentIndexChanged, this, &FrmVis2::switchMode);
    connect(cmbVisMode, &QComboBox::activated, this, &FrmVis2::switchMode);
    // Choosing a scroll clears the view, also when the choice is the one shown.
    connect(scrollGroup, &QButtonGroup::buttonClicked, this, &FrmVis2::initVis2All);
    connect(scrollGroup, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) initVis2All();
    });
    connect(scrThreshold, &QScrollBar::valueChanged, this, &FrmVis2::showThreshold);
    initVis2All();
}

void FrmVis2::initVis2All()
{
    bytes_->settings.dynamicScroll = radScroll[1]->isChecked();
    bytes_->initVis();
}

// The strip and the window's extra height belong to the frequency mode only.
void FrmVis2::switchMode()
{
    const bool byPacket = cmbVisMode->currentIndex() == 1;
    bytes_->settings.mode = byPacket ? FrequencyMode::ByPacket : FrequencyMode::Presence;
    for (QWidget* c : std::initializer_list<QWidget*>{lblThreshold, lblThresholdMax, lblThresholdMin,
                                                      lblFrequencyThreshold, scrThreshold})
        c->setVisible(byPacket);
    setFixedHeight(twips(kHeightTwips) + (byPacket ? twips(kStripTwips) : 0));
}

void FrmVis2::showThreshold()
{
    bytes_->settings.threshold = scrThreshold->value();
    bytes_->settings.thresholdMaximum = scrThreshold->maximum();
    const double percent = scrThreshold->maximum() > 0 ? scrThreshold->value() * 20.0 / scrThreshold->maximum() : 0;
    lblThreshold->setText(QString::number(percent, 'g', QLocale::FloatingPointShortest) + "%");
}

// Over the byte-value columns the tool tip names the value, "65  0x41  A",
// above the packets of the row.
QString FrmVis2::pointerText(int picture, QPoint pos) const
{
    const int x = pos.x();
    const QString packets = VisForm::pointerText(picture, pos);
    if (x < 0 || x > 255) return packets;
    const QString value = QString("%1  0x%2  %3").arg(x).arg(QString::number(x, 16).toUpper()).arg(QChar(x));
    return packets.isEmpty() ? value : value + "\n" + packets;
}
