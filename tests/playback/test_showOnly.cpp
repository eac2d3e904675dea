// "Show only" in the filters window: Enter draws every view again without the
// packets the expression does not match (the pictures equal those render
// draws of a file holding only the matching frames); an invalid expression is
// told under the line and keeps the one in force; the player counts the
// matching packets; a name lookup leaves the window working; the list
// remembers the expressions used; the close box shows every packet again.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "app/frmMain.h"
#include "app/guiStoreHost.h"
#include "app/modInit.h"
#include "core/accessors.h"
#include "core/colourRules.h"
#include "core/fileLoader.h"
#include "core/followExpression.h"
#include "core/modFilters.h"
#include "core/showOnly.h"
#include "core/storeHost.h"
#include "platform/PictureSurface.h"
#include "playback/frmColourRules.h"
#include "playback/frmEncodings.h"
#include "playback/frmFilters.h"
#include "playback/modVisualize.h"
#include "support/cliRun.h"
#include "support/ScriptedDialogs.h"
#include "support/recordedFiles.h"
#include "vis/followMenu.h"
#include "vis/frmVis1.h"
#include "vis/frmVis7.h"
#include "vis/packetSelection.h"
#include "vis/viewRegistry.h"

namespace {
// "_textrainfall.bmp" as render names it: "textrainfall.bmp".
QString renderedName(const char* suffix) { return QString(suffix).mid(1); }

// Every view's pictures, by the names render gives them.
QMap<QString, QImage> viewPictures()
{
    QMap<QString, QImage> pictures;
    for (const ViewRow& row : viewRows()) {
        const std::vector<const PictureSurface*> shown = viewWindow(row).screenshotPictures();
        for (size_t i = 0; i < shown.size() && i < row.screenshotSuffixes.size(); ++i)
            pictures[renderedName(row.screenshotSuffixes[i])] = shown[i]->image().convertToFormat(QImage::Format_RGB32);
    }
    return pictures;
}

using Frame = std::vector<uint8_t>;

// The frame from the other side: addresses and ports swapped.
Frame reversed(Frame f)
{
    for (int k = 0; k < 4; ++k) std::swap(f[size_t(26 + k)], f[size_t(30 + k)]);
    for (int k = 0; k < 2; ++k) std::swap(f[size_t(34 + k)], f[size_t(36 + k)]);
    return f;
}
// Pixels of colour c in every view's pictures.
int pixelsOf(const QMap<QString, QImage>& pictures, ColorRef c)
{
    int count = 0;
    for (const QImage& image : pictures)
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == toPixel(c);
    return count;
}

void settle()
{
    frmVis7()->flush();
    QCoreApplication::processEvents();
}
}

class TestShowOnly : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    QString path(const QString& name) const { return dir.filePath(name); }

    // The file loaded and drawn whole, as the program does after a load.
    void loadAndDraw(const QString& file)
    {
        resetBuffer("startup");
        LoadObserver quiet;
        QVERIFY(loadAnyFile(file.toStdString(), quiet).ok());
        clearVisualizations();
        displayPackets(firstHeldPacket(), getPacketCount());
        settle();
    }
    void enter(const QString& text)
    {
        FrmEncodings* filters = frmEncodings();
        filters->cmbShowOnly->setEditText(text);
        filters->cmbShowOnly->lineEdit()->setFocus();   // typed there: the window's focus is in the line
        QTest::keyClick(filters->cmbShowOnly->lineEdit(), Qt::Key_Return);
        QVERIFY(!protocolSettings().hides(ProtocolClass::Tcp));   // Enter pressed no toggle
        settle();
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);   // the preferences go to a test folder
        setStoreHost(&guiStoreHost());
        frmMain()->show();
        for (const ViewRow& row : viewRows()) frmMain()->menuItem(row.menuItem)->trigger();
        frmEncodings()->show();
        QCoreApplication::processEvents();
        // Without capture times, so that no view shows the gap to a packet the other file lacks.
        QCOMPARE(runCli({"synth", "--count", "600", path("mix.nivora")}).status, 0);
    }
    void init() { closeAndReopenFilters(); }

    // Enter applies at once: every view equals render's pictures of the file
    // that holds only the frames the expression matches.
    void enterDrawsOnlyTheMatchingPackets_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("matching");   // empty: as many as the other file holds
        QTest::newRow("tcp to port 80") << "tcp dst port 80" << "";
        QTest::newRow("udp or icmp") << "udp or icmp" << "";
        QTest::newRow("matches nothing") << "host 203.0.113.9" << "matching 0 of 600";
    }
    void enterDrawsOnlyTheMatchingPackets()
    {
        QFETCH(QString, expression);
        QFETCH(QString, matching);
        const QString only = path("only.nivora"), pictures = path("rendered");
        QDir(pictures).removeRecursively();
        QCOMPARE(runCli({"convert", "--filter", expression, path("mix.nivora"), only}).status, 0);
        // Hex: the text rainfall's ASCII lines begin with the packet's number, which the other file counts afresh.
        QCOMPARE(runCli({"render", only, "--out", pictures, "--set", "frmVis1.cmbVisMode=hex"}).status, 0);
        const int64_t kept = recorded::readFile(only).count("<NIVORA[CR][LF]>");

        auto* mode = frmVis1()->findChild<QComboBox*>("cmbVisMode");
        mode->setCurrentIndex(mode->findText("hex"));
        emit mode->activated(mode->currentIndex());
        loadAndDraw(path("mix.nivora"));
        enter(expression);
        QVERIFY(frmEncodings()->lblShowOnlyError->text().isEmpty());
        QCOMPARE(frmFilters()->lblShowOnlyMatching->text(), matching.isEmpty() ? QString("matching %1 of 600").arg(kept) : matching);
        const QMap<QString, QImage> shown = viewPictures();
        QVERIFY(shown.size() >= 7);
        for (auto it = shown.cbegin(); it != shown.cend(); ++it)
            QVERIFY2(it.value() == QImage(QDir(pictures).filePath(it.key())).convertToFormat(QImage::Format_RGB32),
                     qPrintable(it.key()));
        mode->setCurrentIndex(mode->findText("ASCII"));
        emit mode->activated(mode->currentIndex());
    }

    // A refused expression changes nothing drawn and keeps the last valid one
    // in force; the close box clears the one in force.
    void invalidExpressionKeepsTheLastValidOne()
    {
        loadAndDraw(path("mix.nivora"));
        enter("udp");
        const QMap<QString, QImage> before = viewPictures();
        enter("udp and port");
        QVERIFY2(frmEncodings()->lblShowOnlyError->text().contains("syntax error"),
                 qPrintable(frmEncodings()->lblShowOnlyError->text()));
        QCOMPARE(QString::fromStdString(showOnlyExpression().text()), QString("udp"));
        QVERIFY(viewPictures() == before);
        redrawVisualizations();   // F5 draws with the expression still in force
        settle();
        QVERIFY(viewPictures() == before);
        enter("udp");
        QVERIFY(frmEncodings()->lblShowOnlyError->text().isEmpty());
        QVERIFY(frmFilters()->lblShowOnlyMatching->text().startsWith("matching"));
        closeAndReopenFilters();   // the close box shows every packet again; the player's counter goes blank
        QVERIFY(showOnlyExpression().empty());
        QVERIFY(frmFilters()->lblShowOnlyMatching->text().isEmpty());
        QVERIFY(frmEncodings()->cmbShowOnly->currentText().isEmpty());
    }

    // The list holds the expressions applied, newest first, each once, ten at most; a refused one is not among them.
    void theListRemembersTheLastTen()
    {
        for (int k = 0; k < 12; ++k) enter(QString("len > %1").arg(k));
        enter("len > 5");
        enter("tcp and");
        QComboBox* list = frmEncodings()->cmbShowOnly;
        QCOMPARE(list->count(), 10);
        QCOMPARE(list->itemText(0), QString("len > 5"));
        QCOMPARE(list->itemText(1), QString("len > 11"));
        QCOMPARE(list->findText("len > 1"), -1);
        closeAndReopenFilters();   // and a new window offers them again
        QCOMPARE(frmEncodings()->cmbShowOnly->itemText(0), QString("len > 5"));
    }

    // A name to look up is compiled beside the window, which keeps working; the answer applies when it comes.
    void aNameLookupDoesNotHoldTheWindow()
    {
        loadAndDraw(path("mix.nivora"));
        enter("host nosuchhost.invalid");
        QVERIFY(frmEncodings()->lblShowOnlyError->text().startsWith("Looking up"));
        QTRY_VERIFY_WITH_TIMEOUT(!frmEncodings()->lblShowOnlyError->text().startsWith("Looking up"), 30000);
        QVERIFY(showOnlyExpression().empty());   // unknown: refused, with libpcap's reason
        QVERIFY(!frmEncodings()->lblShowOnlyError->text().isEmpty());
        enter("host localhost");
        QTRY_VERIFY_WITH_TIMEOUT(QString::fromStdString(showOnlyExpression().text()) == "host localhost", 30000);
    }

    // Following a chosen TCP, UDP, ICMP or ARP packet fills the line with its
    // conversation and shows only the packets of it, both ways: not those of
    // the other protocol between the same ports (10). "Show everything" empties it.
    void followTheConversation_data()
    {
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QList<int>>("shown");
        QTest::newRow("tcp") << 1 << QList<int>{1, 2};
        QTest::newRow("udp") << 4 << QList<int>{4, 5};
        QTest::newRow("icmp") << 6 << QList<int>{6, 7};
        QTest::newRow("arp") << 8 << QList<int>{8};
    }
    void followTheConversation()
    {
        QFETCH(int, chosen);
        QFETCH(QList<int>, shown);
        initStartup();   // the views' follow menu reaches the filters window as in the program
        const Frame tcp = frames::ipv4(60, 6, 80, 1234), udp = frames::ipv4(60, 17, 53, 5353);
        Frame icmp = frames::ipv4(60, 1), arp(60, 0xFF), otherArp;
        icmp[28] = icmp[32] = 9;   // between 10.0.9.1 and 10.0.9.2
        arp[12] = 0x08, arp[13] = 0x06;
        std::fill_n(arp.begin() + 6, 6, 0xA1);   // broadcast by two senders
        otherArp = arp;
        std::fill_n(otherArp.begin() + 6, 6, 0xA2);
        for (const Frame& f : {tcp, reversed(tcp), frames::ipv4(60, 6, 80, 999), udp, reversed(udp), icmp,
                               reversed(icmp), arp, otherArp, frames::ipv4(60, 17, 80, 1234)})
            addPacket(f.data(), int(f.size()) - 1);
        packetSelection().choose(chosen);
        std::unique_ptr<QMenu> menu(makeFollowMenu(nullptr));
        QMap<QString, QAction*> items;
        for (QAction* a : menu->actions()) items[a->text()] = a;
        QVERIFY(items.contains("Show only this conversation") && items["Show only this conversation"]->isEnabled());
        items["Show only this conversation"]->trigger();
        settle();
        QVERIFY(frmEncodings()->isVisible());
        QCOMPARE(frmEncodings()->cmbShowOnly->currentText(),
                 QString::fromStdString(followExpression(Follow::Conversation, chosen)));
        QList<int> drawn;
        for (int n = 1; n <= getPacketCount(); ++n)
            if (!filterPacket(n)) drawn << n;
        QCOMPARE(drawn, shown);
        items["Show everything"]->trigger();
        QVERIFY(showOnlyExpression().empty());
        QVERIFY(frmEncodings()->cmbShowOnly->currentText().isEmpty());
    }

    // A rule's colour replaces the protocol's in every view once drawn again;
    // a refused expression leaves the rule as it was; a toggle still hides a
    // packet a rule matches.
    void aColourRuleRecolours()
    {
        constexpr ColorRef kMagenta = rgb(255, 0, 255), kUdpOrange = rgb(255, 128, 0);
        loadAndDraw(path("mix.nivora"));
        QVERIFY(pixelsOf(viewPictures(), kUdpOrange) > 0);
        frmMain()->menuItem("ToolColourRules")->trigger();
        FrmColourRules* rules = frmColourRules();
        rules->btnAddRule->click();
        QVERIFY(!colourRules().at(0).enabled);   // off until its expression is typed
        rules->tblRules->item(0, FrmColourRules::kExpression)->setText("udp");
        QVERIFY(colourRules().at(0).enabled);
        QCOMPARE(rules->tblRules->item(0, FrmColourRules::kTick)->checkState(), Qt::Checked);
        dialogs.colors.enqueue(kMagenta);
        emit rules->tblRules->cellDoubleClicked(0, FrmColourRules::kColour);
        rules->tblRules->item(0, FrmColourRules::kExpression)->setText("udp and");
        QVERIFY(rules->lblRuleError->text().contains("syntax error"));
        QCOMPARE(colourRules().at(0).expression.text(), std::string("udp"));
        QCOMPARE(pixelsOf(viewPictures(), kMagenta), 0);   // drawn already: unchanged until drawn again
        redrawVisualizations();
        settle();
        QVERIFY(pixelsOf(viewPictures(), kMagenta) > 0);
        QCOMPARE(pixelsOf(viewPictures(), kUdpOrange), 0);
        frmEncodings()->tglUDP->click();   // hidden: the rule does not bring it back
        redrawVisualizations();
        settle();
        QCOMPARE(pixelsOf(viewPictures(), kMagenta), 0);
        frmEncodings()->tglUDP->click();
        rules->tblRules->setCurrentCell(0, 0);
        rules->btnRemoveRule->click();
        QVERIFY(colourRules().empty());
        closeWindow(rules);
    }

private:
    static void closeWindow(QWidget* window)
    {
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static void closeAndReopenFilters()
    {
        closeWindow(frmEncodings());
        frmEncodings()->show();
        QCoreApplication::processEvents();
    }
};

QTEST_MAIN(TestShowOnly)
#include "test_showOnly.moc"
