// The detail view: character and hexadecimal texts, protocol colours, the
// coalesced refresh, the layout with its minimum size, the font size.
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>
#include <array>

#include "app/frmMain.h"
#include "core/modLibrary.h"
#include "platform/SpinButton.h"
#include "platform/colorRef.h"
#include "support/frames.h"
#include "vis/frmVis7.h"

namespace {
// Stores the frame (so the view finds its protocol) and plots it as the dispatch would.
void plotFrame(const std::vector<uint8_t>& frame)
{
    std::array<uint8_t, kSlotBytes> work{};
    std::copy(frame.begin(), frame.end(), work.begin());
    const int32_t n = frame.empty() ? getPacketCount() : addPacket(frame.data(), int(frame.size()) - 1);
    frmVis7()->Plot({n, work.data(), int(frame.size()), nullptr});
}

QString ascii() { return frmVis7()->txtASCII->toPlainText(); }
QString hex() { return frmVis7()->txtHex->toPlainText(); }
}

class TestDetailView : public QObject {
    Q_OBJECT
    FrmVis7* view = nullptr;

private slots:
    void initTestCase()
    {
        frmMain();   // start-up: the store and the protocol colours
        view = frmVis7();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
    }

    void init() { view->clear(); }

    void bytesAreSpelledTwice_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("characters");
        QTest::addColumn<QString>("numbers");
        QTest::newRow("printable limits") << QByteArray("\x20\x21\x7E\x7F", 4) << ".!~." << "20  21  7E  7F  ";
        QTest::newRow("control and high bytes") << QByteArray("\x00\x1A\xFF", 3) << "..." << "00  1A  FF  ";
        QTest::newRow("letters, digits") << QByteArray("Az09", 4) << "Az09" << "41  7A  30  39  ";
        QTest::newRow("empty packet") << QByteArray() << "" << "";
    }
    void bytesAreSpelledTwice()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, characters);
        QFETCH(QString, numbers);
        plotFrame(frames::ipv4(60, 6));   // replaced by the packet under test
        plotFrame(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        view->flush();
        QCOMPARE(ascii(), characters);
        QCOMPARE(hex(), numbers);
    }

    void textTakesTheProtocolColour_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<ColorRef>("color");
        QTest::newRow("TCP") << 6 << rgb(0, 255, 0);
        QTest::newRow("UDP") << 17 << rgb(255, 128, 0);
        QTest::newRow("unassigned") << 200 << rgb(255, 128, 128);
    }
    void textTakesTheProtocolColour()
    {
        QFETCH(int, protocol);
        QFETCH(ColorRef, color);
        plotFrame(frames::ipv4(60, uint8_t(protocol)));
        view->flush();
        for (QPlainTextEdit* box : {view->txtASCII, view->txtHex}) {   // drawn in it, on the screen
            const QImage shot = box->viewport()->grab().toImage();
            bool found = false;
            for (int y = 0; y < 16 && !found; ++y)
                for (int x = 0; x < shot.width() && !found; ++x) found = shot.pixelColor(x, y) == toQColor(color);
            QVERIFY(found);
        }
    }

    void longPacketIsOneLineWrappedAtTheBoxWidth()
    {
        plotFrame(frames::ipv4(1514, 6, 80, 80, 5, 'x'));
        view->flush();
        QCOMPARE(QSize(ascii().size(), hex().size()), QSize(1514, 4 * 1514));
        QCOMPARE(view->txtASCII->document()->blockCount(), 1);
        // Wrapped at the width although the text holds no blanks to break at:
        // every line but the last is full.
        const QTextLayout* chars = view->txtASCII->document()->firstBlock().layout();
        QVERIFY(chars->lineCount() > 1);
        QCOMPARE(chars->lineAt(1).textLength(), chars->lineAt(0).textLength());
        // The numbers wrap between bytes, never inside one.
        QCOMPARE(view->txtHex->document()->blockCount(), 1);
        const QTextLayout* numbers = view->txtHex->document()->firstBlock().layout();
        QVERIFY(numbers->lineCount() > 1);
        for (int k = 0; k < numbers->lineCount(); ++k) QCOMPARE(numbers->lineAt(k).textStart() % 4, 0);
    }

    void refreshShowsOnlyTheNewestPacket()
    {
        plotFrame(frames::bytes({0x41}));
        plotFrame(frames::bytes({0x42, 0x43}));
        QCOMPARE(ascii(), QString());   // nothing laid out per packet
        QTRY_COMPARE(ascii(), QString("BC"));
        QCOMPARE(hex(), QString("42  43  "));

        plotFrame(frames::bytes({0x41}));
        view->clear();   // drops the packet not yet shown
        QTest::qWait(3 * FrmVis7::kRefreshMs);
        QCOMPARE(ascii() + hex(), QString());
    }

    void layoutStacksTheBoxesAboveTheFontRow()
    {
        view->resize(600, 500);
        const QRect a = view->txtASCII->geometry(), h = view->txtHex->geometry();
        QCOMPARE(h, a.translated(0, a.height()));
        for (QWidget* w : std::initializer_list<QWidget*>{view->lblFontSize, view->spnFontSize, view->lblCurrentFontSize}) {
            QVERIFY(w->geometry().top() >= h.bottom());
            QVERIFY(w->geometry().bottom() < view->height());
        }
    }

    void fontSizeStaysWithinItsRange()
    {
        QCOMPARE(view->txtASCII->font().pointSizeF(), 8.25);
        QTest::mouseClick(view->spnFontSize->downButton(), Qt::LeftButton);   // stays at 8
        QTest::mouseClick(view->spnFontSize->upButton(), Qt::LeftButton);
        QCOMPARE(view->lblCurrentFontSize->text(), QString("9"));
        QCOMPARE(view->txtASCII->font().pointSize(), 9);
        QTest::keyClick(view->spnFontSize, Qt::Key_PageUp);   // 10 a page: 19
        QTest::keyClick(view->spnFontSize, Qt::Key_PageUp);   // 24, not 29
        QTest::keyClick(view->spnFontSize, Qt::Key_Up);
        QCOMPARE(view->lblCurrentFontSize->text(), QString("24"));
        QCOMPARE(view->txtHex->font().pointSize(), 24);
        QTest::keyClick(view->spnFontSize, Qt::Key_Home);
        QCOMPARE(view->txtASCII->font().pointSize(), 8);
    }
};

QTEST_MAIN(TestDetailView)
#include "test_detailview.moc"
