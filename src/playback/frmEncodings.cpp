#include "frmEncodings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <thread>

#include "core/modEncodings.h"
#include "core/showOnly.h"
#include "platform/DialogLayer.h"
#include "platform/PictureSurface.h"
#include "playback/frmFilters.h"
#include "playback/modVisualize.h"

namespace {
QPointer<FrmEncodings> instance;

constexpr int kToggleW = 96, kRowH = 26, kSwatch = 22;
constexpr ColorRef kDecoration = rgb(255, 128, 0);
constexpr ColorRef kPanelGrey = rgb(160, 160, 160);
constexpr int kTogglesH = 300;      // the toggles and check boxes; "Show only" below them
constexpr int kShowOnlyH = 76;
const char* const kRecentKey = "showOnly/recent";   // the expressions used last, in the preferences

QStringList recentExpressions() { return QSettings("nivora", "nivora").value(kRecentKey).toStringList(); }
void keepRecentExpressions(const QStringList& recent) { QSettings("nivora", "nivora").setValue(kRecentKey, recent); }
}

FrmEncodings* frmEncodings() { return formInstance(instance); }

FrmEncodings::FrmEncodings() : FormWindow("frmEncodings", "filters", "ToolEncodings")
{
    setFixedSize(480, kTogglesH + kShowOnlyH);
    const int sx = 8 + kToggleW + 8;   // swatch column

    // The six transport toggles, each with its swatch to its right, in the order of the classes.
    struct Transport {
        const char* toggle;
        const char* caption;
        const char* swatch;
        const char* tip;
    };
    const Transport transports[kProtocolClasses] = {
        {"tglTCP", "TCP", "picTCP", "Press to hide TCP packets (protocol 6)"},
        {"tglUDP", "UDP", "picUDP", "Press to hide UDP packets (protocol 17)"},
        {"tglICMP", "ICMP", "picICMP", "Press to hide ICMP packets (protocol 1)"},
        {"tglIGMP", "IGMP", "picIGMP", "Press to hide IGMP packets (protocol 2)"},
        {"tglOtherTransport", "other legal", "picOtherTransport",
         "Press to hide packets of every other assigned protocol"},
        {"tglUnkTransport", "unassigned", "picUnassignedTransport",
         "Press to hide packets with an unassigned protocol number (138 to 252)"},
    };
    QPushButton** const toggles[kProtocolClasses] = {&tglTCP, &tglUDP, &tglICMP,
                                                     &tglIGMP, &tglOtherTransport, &tglUnkTransport};
    ProtocolSettings& settings = protocolSettings();
    for (int c = 0; c < kProtocolClasses; ++c) {
        const Transport& t = transports[c];
        const int y = 8 + c * kRowH;
        QPushButton* toggle = *toggles[c] = addToggle(t.toggle, t.caption, 8, y);
        toggle->setToolTip(t.tip);
        toggle->setChecked(settings.hidden[size_t(c)]);
        connect(toggle, &QPushButton::toggled, this, [c](bool down) { protocolSettings().hidden[size_t(c)] = down; });
        addSwatch(t.swatch, t.caption, &settings.classColor[size_t(c)], sx, y);
        showHiddenLook(toggle, t.swatch);
    }

    // Network layer below, then the two catch-all toggles at the bottom.
    addPanel("Picture4", kDecoration, QRect(8, 8 + 6 * kRowH + 2, sx + kSwatch - 8, 3));
    const int net = 8 + 6 * kRowH + 12;
    QPushButton* ip = addToggle("tglIP", "IP", 8, net);
    ip->setToolTip("Press to hide IPv4 packets");
    ip->setChecked(settings.hideIPv4);
    connect(ip, &QPushButton::toggled, this, [](bool down) { protocolSettings().hideIPv4 = down; });
    addSwatch("picIP", "IP", &settings.ipColor, sx, net);
    showHiddenLook(ip, "picIP");
    QPushButton* ether = addToggle("tglEther", "Ethernet", 8, net + kRowH);
    ether->setToolTip("Press to hide frames that are not IPv4 (ARP, IPv6, ...)");
    ether->setChecked(settings.hideNonIPv4);
    connect(ether, &QPushButton::toggled, this, [](bool down) { protocolSettings().hideNonIPv4 = down; });
    addSwatch("picEther", "Ethernet", &settings.etherColor, sx, net + kRowH);
    showHiddenLook(ether, "picEther");
    addPanel("Picture5", kDecoration, QRect(8, net + 2 * kRowH + 2, sx + kSwatch - 8, 3));
    const int bottom = net + 2 * kRowH + 12;
    addToggle("tglUNKNetwork", "unknown", 8, bottom);
    addToggle("tglOtherNetwork", "all others", 8, bottom + kRowH);

    // TCP flag and port check boxes on grey panels to the right.
    const int px = sx + kSwatch + 14;
    addPanel("Picture2", kDecoration, QRect(px - 8, 8, 3, bottom + 2 * kRowH - 10));
    addPanel("Picture15", kPanelGrey, QRect(px, 8, width() - px - 8, bottom + 2 * kRowH - 10));
    auto* flags = findChild<QWidget*>("Picture15");
    const int pw = flags->width() - 16;
    addPanel("Picture10", kPanelGrey, QRect(px + 8, 16, pw, 3 * 22 + 8));
    auto* tcpPanel = findChild<QWidget*>("Picture10");
    addCheck("chkTCPSYN", "SYN", tcpPanel, 4, PacketMatch::TcpSyn, "TCP with SYN set and ACK clear");
    addCheck("chkTCPSYNACK", "SYN/ACK", tcpPanel, 26, PacketMatch::TcpSynAck, "TCP with SYN and ACK set");
    addCheck("chkTCPACK", "ACK", tcpPanel, 48, PacketMatch::TcpAck, "TCP with ACK set and SYN clear");
    addPanel("Picture6", kDecoration, QRect(px + 8, 16 + 3 * 22 + 14, pw, 3));
    int y = 16 + 3 * 22 + 24;
    struct PortCheck {
        const char* panel;
        const char* name;
        const char* caption;
        PacketMatch match;
        const char* matches;
    };
    const PortCheck ports[] = {
        {"Picture12", "chkSlammerFilter", "Slammer (port 1434)", PacketMatch::Slammer, "UDP to or from port 1434"},
        {"Picture13", "chkMessengerSpam", "Messenger Spam (ports 1026 or 1027)", PacketMatch::MessengerSpam,
         "UDP to port 1026 or 1027"},
        {"Picture14", "Check5", "echo equest", PacketMatch::EchoRequest, "ICMP echo requests (type 8)"},
    };
    for (const PortCheck& p : ports) {
        addPanel(p.panel, kPanelGrey, QRect(px + 8, y, pw, 26));
        addCheck(p.name, p.caption, findChild<QWidget*>(p.panel), 2, p.match, p.matches);
        y += 32;
    }

    // The settings above apply to packets drawn from now on; this draws the
    // packets already shown again with them.
    btnApplyShown = new QPushButton("&Apply to shown packets", this);
    btnApplyShown->setObjectName("btnApplyShown");
    btnApplyShown->setToolTip("Clear every view and draw the packets it showed again with these settings (F5)");
    btnApplyShown->setGeometry(px + 8, bottom + 2 * kRowH - 44, pw, 28);
    connect(btnApplyShown, &QPushButton::clicked, this, [] { redrawVisualizations(); });

    addShowOnly(kTogglesH);
}

void FrmEncodings::addShowOnly(int y)
{
    auto* caption = new QLabel("&Show only", this);
    caption->setObjectName("lblShowOnly");
    caption->setGeometry(8, y, 72, 26);
    cmbShowOnly = new QComboBox(this);
    cmbShowOnly->setObjectName("cmbShowOnly");
    cmbShowOnly->setEditable(true);
    cmbShowOnly->setInsertPolicy(QComboBox::NoInsert);   // the list is the expressions applied, kept below
    cmbShowOnly->setMaxCount(int(kRecentExpressions));
    cmbShowOnly->addItems(recentExpressions());
    cmbShowOnly->setEditText(QString::fromStdString(showOnlyExpression().text()));
    cmbShowOnly->setGeometry(84, y, width() - 92, 26);
    cmbShowOnly->setToolTip("A libpcap filter expression, as tcpdump takes it (\"tcp port 80 or host 10.0.0.5\"): "
                            "only the packets it matches are drawn. Enter applies it; empty shows every packet");
    cmbShowOnly->lineEdit()->setPlaceholderText("every packet");
    caption->setBuddy(cmbShowOnly);
    connect(cmbShowOnly->lineEdit(), &QLineEdit::returnPressed, this, [this] { applyShowOnly(cmbShowOnly->currentText()); });
    lblShowOnlyError = new QLabel(this);
    lblShowOnlyError->setObjectName("lblShowOnlyError");
    lblShowOnlyError->setGeometry(84, y + 30, width() - 92, kShowOnlyH - 34);
    lblShowOnlyError->setWordWrap(true);
    lblShowOnlyError->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblShowOnlyError->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette red = lblShowOnlyError->palette();
    red.setColor(QPalette::WindowText, QColor(192, 0, 0));
    lblShowOnlyError->setPalette(red);
}

void FrmEncodings::showOnly(const QString& text)
{
    cmbShowOnly->setEditText(text);
    applyShowOnly(text);
}

void FrmEncodings::applyShowOnly(const QString& text)
{
    const uint64_t request = ++showOnlyRequest_;
    const std::string wanted = text.toStdString();
    if (!mayLookUpNames(wanted)) {
        std::string error;
        const std::optional<FilterExpression> compiled = FilterExpression::compile(wanted, error);
        showOnlyCompiled(request, compiled, error);
        return;
    }
    lblShowOnlyError->setText(QString("Looking up the names in \"%1\"...").arg(text.trimmed()));
    // The resolver may take long or never answer: the window goes on meanwhile.
    const QPointer<FrmEncodings> self(this);
    std::thread([self, request, wanted] {
        std::string error;
        std::optional<FilterExpression> compiled = FilterExpression::compile(wanted, error);
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [self, request, compiled = std::move(compiled), error] {
                if (self) self->showOnlyCompiled(request, compiled, error);
            }, Qt::QueuedConnection);
    }).detach();
}

void FrmEncodings::showOnlyCompiled(uint64_t request, const std::optional<FilterExpression>& compiled,
                                    const std::string& error)
{
    if (request != showOnlyRequest_ || isClosing()) return;   // overtaken by later text, or the window went
    if (!compiled) {
        lblShowOnlyError->setText(QString::fromStdString(error));
        return;
    }
    lblShowOnlyError->clear();
    setShowOnlyExpression(*compiled);
    std::vector<std::string> recent;
    for (const QString& t : recentExpressions()) recent.push_back(t.toStdString());
    QStringList kept;
    for (const std::string& t : withRecentExpression(recent, compiled->text())) kept << QString::fromStdString(t);
    keepRecentExpressions(kept);
    const QString shown = cmbShowOnly->currentText();
    cmbShowOnly->clear();
    cmbShowOnly->addItems(kept);
    cmbShowOnly->setEditText(shown);
    frmFilters()->showShowOnlyMatching();
    redrawVisualizations();
}

// Closing the window shows every packet again, each class in its default colour.
void FrmEncodings::unload()
{
    protocolSettings().resetClasses();
    setShowOnlyExpression({});
    ++showOnlyRequest_;   // a lookup still under way applies nothing
    frmFilters()->showShowOnlyMatching();
}

QPushButton* FrmEncodings::addToggle(const QString& name, const QString& caption, int x, int y)
{
    auto* t = new QPushButton(caption, this);
    t->setObjectName(name);
    t->setCheckable(true);
    t->setGeometry(x, y, kToggleW, kRowH - 4);
    return t;
}

void FrmEncodings::addSwatch(const QString& name, const QString& protocol, ColorRef* variable, int x, int y)
{
    auto* s = new PictureSurface(this);
    s->setObjectName(name);
    s->setGeometry(x, y, kSwatch, kSwatch);
    s->setBackColor(*variable);
    s->setCursor(Qt::PointingHandCursor);
    s->setToolTip("Click to choose this colour");
    connect(s, &PictureSurface::clicked, this, [this, variable, s, protocol] { pickColor(variable, s, protocol); });
    swatches_[name] = s;
}

void FrmEncodings::addPanel(const QString& name, ColorRef color, const QRect& geometry)
{
    auto* p = new QWidget(this);
    p->setObjectName(name);
    p->setGeometry(geometry);
    p->setAutoFillBackground(true);
    QPalette pal = p->palette();
    pal.setColor(QPalette::Window, toQColor(color));
    p->setPalette(pal);
}

QCheckBox* FrmEncodings::addCheck(const QString& name, const QString& caption, QWidget* panel, int y,
                                  PacketMatch match, const QString& matches)
{
    auto* c = new QCheckBox(caption, panel);
    c->setObjectName(name);
    c->move(6, y);
    c->resize(panel->width() - 12, 22);
    c->setToolTip("Ticked: show only " + matches + " (with any other ticked box)");
    c->setChecked(protocolSettings().onlyShows(match));
    connect(c, &QCheckBox::toggled, this, [match](bool ticked) { protocolSettings().onlyShows(match) = ticked; });
    return c;
}

PictureSurface* FrmEncodings::swatch(const QString& name) const
{
    auto it = swatches_.find(name);
    return it == swatches_.end() ? nullptr : it->second;
}

ColorRef FrmEncodings::swatchColor(const QString& name) const { return swatch(name)->backColor(); }

void FrmEncodings::pickColor(ColorRef* variable, PictureSurface* swatch, const QString& protocol)
{
    *variable = dialogs().chooseColor(*variable, "Colour for " + protocol);
    swatch->setBackColor(*variable);
    if (QPushButton* toggle = swatchToggles_[swatch]) drawHiddenLook(toggle, swatch);
}

void FrmEncodings::showHiddenLook(QPushButton* toggle, const QString& swatchName)
{
    PictureSurface* s = swatch(swatchName);
    swatchToggles_[s] = toggle;
    connect(toggle, &QPushButton::toggled, this, [this, toggle, s] { drawHiddenLook(toggle, s); });
    drawHiddenLook(toggle, s);
}

void FrmEncodings::drawHiddenLook(QPushButton* toggle, PictureSurface* swatch)
{
    const bool hidden = toggle->isChecked();
    QFont font = toggle->font();
    font.setStrikeOut(hidden);
    toggle->setFont(font);
    QPalette palette = toggle->palette();
    palette.setColor(QPalette::ButtonText, hidden ? QColor(Qt::darkGray) : QApplication::palette().color(QPalette::ButtonText));
    toggle->setPalette(palette);

    swatch->setBackColor(swatch->backColor());   // erases an earlier cross
    if (!hidden) return;
    // Black on white, so the cross shows on any colour.
    const int w = swatch->scaleWidth() - 1, h = swatch->scaleHeight() - 1;
    for (const auto& [shift, colour] : {std::pair{1, rgb(255, 255, 255)}, std::pair{0, rgb(0, 0, 0)}}) {
        swatch->line(0, shift, w - shift, h, colour);
        swatch->line(0, h - shift, w - shift, 0, colour);
    }
}
