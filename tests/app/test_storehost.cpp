// The store as the program sees it: the overwrite question and the playback labels.
#include <QLabel>
#include <QScrollBar>
#include <QTest>

#include "app/frmMain.h"
#include "core/modLibrary.h"
#include "playback/frmFilters.h"
#include "support/ScriptedDialogs.h"
#include "support/frames.h"
#include "support/RecordingView.h"

class TestStoreHost : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { frmMain(); }

    void overwriteQuestionAndLabels()
    {
        ScriptedDialogs dialogs;
        RecordingViews views;
        RecordingView& view = views[1];
        auto f = frames::ipv4(60, 6);
        for (int i = 0; i < 3; ++i) addPacket(f.data(), 59);
        QCOMPARE(frmFilters()->lblPacketCounter->text(), QString("3"));
        QCOMPARE(frmFilters()->lblPacketMax->text(), QString("3"));
        QCOMPARE(frmFilters()->lblPacketMin->text(), QString("1"));
        QCOMPARE(frmFilters()->scrPacket->maximum(), 3);

        dialogs.answers << MsgResult::No << MsgResult::Yes;
        resetBuffer("file");
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].text, QString("Packets exist in the buffer.  Do you wish to overwrite?"));
        QCOMPARE(dialogs.shown[0].title, QString("Verify Buffer Delete"));
        QCOMPARE(dialogs.shown[0].buttons, MsgButtons::YesNo);
        QCOMPARE(dialogs.shown[0].icon, MsgIcon::Exclamation);
        QCOMPARE(getPacketCount(), 3);
        QCOMPARE(view.count(RecordingView::Call::Clear), 0);

        resetBuffer("capture");
        QCOMPARE(getPacketCount(), 0);
        QCOMPARE(view.count(RecordingView::Call::Clear), 1);
        QCOMPARE(frmFilters()->lblPacketCounter->text(), QString("0"));
        QCOMPARE(frmFilters()->lblPacketMax->text(), QString("0"));
        QCOMPARE(frmFilters()->lblPacketMin->text(), QString("1"));
    }
};

QTEST_MAIN(TestStoreHost)
#include "test_storehost.moc"
