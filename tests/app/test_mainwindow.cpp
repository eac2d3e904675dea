// The main window: menus, thumbnails, window toggling and check marks.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "app/frmMain.h"
#include "core/modLibrary.h"
#include "platform/PictureSurface.h"
#include "platform/WrappingMenuBar.h"
#include "playback/frmEncodings.h"
#include "playback/frmFilters.h"
#include "vis/frmVis3.h"
#include "vis/frmVis7.h"

class TestMainWindow : public QObject {
    Q_OBJECT
    int endings = 0;

    static QStringList visibleCaptions(const char* menu)
    {
        QStringList out;
        for (QAction* a : frmMain()->findChild<QMenu*>(menu)->actions())
            if (a->isVisible()) out << (a->isSeparator() ? "-" : a->text());
        return out;
    }

private slots:
    void initTestCase()
    {
        setProgramEnding([this] { ++endings; });
        frmMain()->show();
        QVERIFY(QTest::qWaitForWindowExposed(frmMain()));
    }

    void startUp()
    {
        QCOMPARE(frmMain()->windowTitle(), QString("nivora"));
        QCOMPARE(frmMain()->centralWidget()->size(), QSize(104, 527));
        QCOMPARE(frmFilters()->lblPacketCounter->text(), QString("0"));
        QCOMPARE(getPacketCount(), 0);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != frmMain()) QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        for (QAction* a : frmMain()->findChildren<QAction*>()) QVERIFY(!a->isChecked());
        QCOMPARE(frmMain()->findChild<QLabel*>("Label2")->text(), QString(" byte frequency"));
        QCOMPARE(frmMain()->picVis(4)->geometry(), QRect(8, 248, 81, 57));
    }

    void menusShowOnlyTheirVisibleItems()
    {
        QStringList bar;
        for (QMenu* m : frmMain()->findChild<WrappingMenuBar*>("menuBar")->menus()) bar << m->title();
        QCOMPARE(bar, (QStringList{"&File", "&Toolbars", "&View", "&Help"}));
        QCOMPARE(visibleCaptions("File"), (QStringList{"&Load Nivora Dataset", "Open &Capture File...", "Save Da&taset", "-", "E&xit"}));
        QCOMPARE(visibleCaptions("Toolbars"), (QStringList{"&Capture", "&PVR", "&Filters"}));
        QCOMPARE(visibleCaptions("View"), (QStringList{"&Text Rainfall", "&Byte Frequency", "&Parallel Plot",
                                                       "Binary &Rainfall", "&Scatter Plot", "&Combined", "&Detail"}));
        for (const char* hidden : {"LoadPreferences", "FileSeparator1", "SaveSettings", "SaveScreenshot", "ToolLogging"}) {
            QAction* a = frmMain()->menuItem(hidden);
            QVERIFY2(a && !a->isVisible() && !a->isEnabled(), hidden);
        }
    }

    void thumbnailTogglesItsWindow()
    {
        QAction* item = frmMain()->menuItem("vis3");
        QTest::mouseClick(frmMain()->picVis(3), Qt::LeftButton);
        QVERIFY(frmVis3()->isVisible());
        QVERIFY(item->isChecked());
        QTest::mouseClick(frmMain()->picVis(3), Qt::LeftButton);
        QVERIFY(!frmVis3()->isVisible());
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
