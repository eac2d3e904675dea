// The store as the program sees it: the overwrite question and the playback labels.
#include <QLabel>
#include <QScrollBar>
#include <QTest>

#include "app/frmMain.h"
#include "core/modLibrary.h"
#include "playback/frmFilters.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/frames.h"

class TestStoreHost : public QObject {
    Q_OBJECT
    // The counter, the held range's labels and the scroll bar's maximum.
    static QString labels()
    {
        FrmFilters* w = frmFilters();
        return QString("%1 [%2 %3] %4").arg(w->lblPacketCounter->text(), w->lblPacketMin->text(), w->lblPacketMax->text())
            .arg(w->scrPacket->maximum());
    }

private slots:
    void initTestCase() { frmMain(); }

    void overwriteQuestionAndLabels()
    {
        ScriptedDialogs dialogs;
        RecordingViews views;
        auto f = frames::ipv4(60, 6);
        for (int i = 0; i < 3; ++i) addPacket(f.data(), 59);
        QCOMPARE(labels(), QString("3 [1 3] 3"));

        dialogs.answers << MsgResult::No << MsgResult::Yes;
        resetBuffer("file");
        QCOMPARE(dialogs.shown.size(), 1);
        const ShownMessage asked = dialogs.shown[0];
        QCOMPARE(asked.text, QString("Packets exist in the buffer.  Do you wish to overwrite?"));
        QCOMPARE(std::tuple(asked.title, asked.buttons, asked.icon),
                 std::tuple(QString("Verify Buffer Delete"), MsgButtons::YesNo, MsgIcon::Exclamation));
        QCOMPARE(getPacketCount(), 3);
        QVERIFY(views[1].calls.isEmpty());

        resetBuffer("capture");
        QCOMPARE(getPacketCount(), 0);
        QCOMPARE(views[1].count(RecordingView::Call::Clear), 1);
        QCOMPARE(labels(), QString("0 [1 0] 1"));
    }
};

QTEST_MAIN(TestStoreHost)
#include "test_storehost.moc"
