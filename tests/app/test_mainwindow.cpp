// The main window: menus, thumbnails, window toggling and check marks.
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/frmMain.h"
#include "core/modLibrary.h"
#include "platform/PictureSurface.h"
#include "playback/frmEncodings.h"
#include "playback/frmFilters.h"
#include "vis/frmVis3.h"
#include "vis/VisForm.h"
#include "vis/frmVis7.h"
#include "vis/viewRegistry.h"

class TestMainWindow : public QObject {
    Q_OBJECT
    int endings = 0;

private slots:
    void initTestCase()
    {
        setProgramEnding([this] { ++endings; });
        frmMain()->show();
        QVERIFY(QTest::qWaitForWindowExposed(frmMain()));
    }

    void startUpShowsOnlyTheMainWindow()
    {
        QCOMPARE(frmFilters()->lblPacketCounter->text(), QString("0"));
        QCOMPARE(getPacketCount(), 0);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != frmMain()) QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        for (QAction* a : frmMain()->findChildren<QAction*>()) QVERIFY(!a->isChecked());
        for (const char* hidden : {"LoadPreferences", "FileSeparator1", "SaveSettings", "SaveScreenshot", "ToolLogging"}) {
            QAction* a = frmMain()->menuItem(hidden);
            QVERIFY2(a && !a->isVisible() && !a->isEnabled(), hidden);
        }
    }

    void thumbnailTogglesItsView_data()
    {
        QTest::addColumn<int>("view");
        for (const ViewRow& row : viewRows())
            if (row.thumbIndex) QTest::newRow(row.objectName) << row.number;
    }
    void thumbnailTogglesItsView()
    {
        QFETCH(int, view);
        const ViewRow& row = viewRow(view);
        QAction* item = frmMain()->menuItem(row.menuItem);
        QTest::mouseClick(frmMain()->picVis(row.thumbIndex), Qt::LeftButton);
        QVERIFY(row.window()->isVisible());
        QVERIFY(item->isChecked());
        QTest::mouseClick(frmMain()->picVis(row.thumbIndex), Qt::LeftButton);
        QVERIFY(!row.window()->isVisible());
        QVERIFY(!item->isChecked());
    }

    void hidingKeepsTheWindowClosingDestroysIt()
    {
        QAction* item = frmMain()->menuItem("vis3");
        item->trigger();
        QPointer<FrmVis3> first = frmVis3();
        item->trigger();                       // hide through the menu: same window
        QVERIFY(!first->isVisible());
        item->trigger();
        QCOMPARE(frmVis3(), first.data());

        QVERIFY(first->close());               // the close box
        QVERIFY(!item->isChecked());
        QVERIFY(frmVis3() != first.data());    // the next reference is a fresh window...
        QVERIFY(!frmVis3()->isVisible());      // ...created hidden
        QTRY_VERIFY(first.isNull());
        item->trigger();
        QVERIFY(frmVis3()->isVisible());
        item->trigger();
    }

    void minimisedWindowComesBackNormal()
    {
        QAction* item = frmMain()->menuItem("ToolEncodings");
        item->trigger();
        frmEncodings()->showMinimized();
        item->trigger();   // hide while minimised
        item->trigger();
        QVERIFY(frmEncodings()->isVisible());
        QVERIFY(!frmEncodings()->isMinimized());
        item->trigger();
    }

    void detailToggleAndMenuItemBothToggle()
    {
        QPushButton* tgl = frmMain()->tglDetail();
        QAction* item = frmMain()->menuItem("vis7");
        QTest::mouseClick(tgl, Qt::LeftButton);
        QVERIFY(frmVis7()->isVisible());
        QVERIFY(tgl->isChecked());
        item->trigger();                       // the menu hides it; the button stays down
        QVERIFY(!frmVis7()->isVisible());
        QVERIFY(tgl->isChecked());
        QTest::mouseClick(tgl, Qt::LeftButton);
        QVERIFY(frmVis7()->isVisible());
        QVERIFY(!tgl->isChecked());
        frmVis7()->close();
        QVERIFY(!item->isChecked());
    }

    void exitAndCloseEndTheProgram()
    {
        frmMain()->menuItem("exit")->trigger();
        QCOMPARE(endings, 1);
        frmMain()->close();
        QCOMPARE(endings, 2);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
