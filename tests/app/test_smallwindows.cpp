// The small windows (about, settings, preferences, logging), nothing kept
// between runs, the keyboard on the main window and where views open.
#include <QAction>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/frmAbout.h"
#include "app/frmLogging.h"
#include "app/frmMain.h"
#include "app/frmSettings.h"
#include "app/modFileSettings.h"
#include "core/modEncodings.h"
#include "platform/PictureSurface.h"
#include "playback/frmEncodings.h"
#include "support/ScriptedDialogs.h"
#include "vis/VisForm.h"
#include "vis/viewRegistry.h"

namespace {
// What a start of the program finds in the protocol settings, on one line.
QString settingsLine()
{
    ProtocolSettings& s = protocolSettings();
    QString line = QString("TCP %1 colour %2 swatch %3")
                       .arg(frmEncodings()->tglTCP->isChecked() ? "down" : "up")
                       .arg(s.color(ProtocolClass::Tcp), 6, 16, QChar('0'))
                       .arg(frmEncodings()->swatchColor("picTCP"), 6, 16, QChar('0'));
    return line;
}

// Run as a program of its own by nothingPersists: "change" changes a colour
// and a toggle through the "filters" window, then ends the way Exit does;
// "report" prints what a new start finds.
int runAsProgram(const QString& what)
{
    frmMain()->show();
    if (what == "report") {
        std::printf("%s\n", qPrintable(settingsLine()));
        return 0;
    }
    ScriptedDialogs dialogs;
    dialogs.colors.enqueue(rgb(1, 2, 3));
    QTest::mouseClick(frmEncodings()->swatch("picTCP"), Qt::LeftButton);
    QTest::mouseClick(frmEncodings()->tglTCP, Qt::LeftButton);
    std::printf("%s\n", qPrintable(settingsLine()));
    frmMain()->menuItem("exit")->trigger();
    return 1;   // not reached: Exit ends the program
}
}

class TestSmallWindows : public QObject {
    Q_OBJECT
    int endings = 0;

    static void press(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(w, Qt::Key(key), mods);
    }

private slots:
    void initTestCase()
    {
        setProgramEnding([this] { ++endings; });
        frmMain()->show();
        frmMain()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frmMain()));
    }

    void aboutShowsItsOwnPictureAndHides()
    {
        frmMain()->menuItem("HelpAbout")->trigger();
        FrmAbout* about = frmAbout();
        QVERIFY(about->isVisible());
        QCOMPARE(about->windowTitle(), QString("about nivora"));
        QCOMPARE(about->Label7->text(), QString("version 1.36"));
        QCOMPARE(about->Label7->font().family(), QString("Verdana"));
        for (int k : {1, 2, 3}) QCOMPARE(about->findChild<QLabel*>(QString("Label%1").arg(k))->text(), QString("nivora network visualization"));
        const QString address = about->findChild<QLabel*>("Label4")->text();
        for (int k : {5, 6}) QCOMPARE(about->findChild<QLabel*>(QString("Label%1").arg(k))->text(), address);
        QSet<QRgb> colours;   // a picture, not a blank
        const QImage& picture = about->Picture1->image();
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) colours.insert(picture.pixel(x, y));
        QVERIFY(colours.size() >= 4);
        QTest::mouseClick(about->btnOK, Qt::LeftButton);
        QVERIFY(!about->isVisible());
        frmMain()->menuItem("HelpAbout")->trigger();
        press(about, Qt::Key_Escape);
        QVERIFY(!about->isVisible());
    }

    void settingsWindowKeepsItsColoursToItself()
    {
        ScriptedDialogs dialogs;
        FrmSettings* w = frmSettings();
        QCOMPARE(w->windowTitle(), QString("Settings"));
        QCOMPARE(w->lblSettings->text(), QString("Global Settings"));
        QStringList captions;
        QList<ColorRef> colours;
        for (int i = 0; i < 5; ++i) {
            captions << w->Command[size_t(i)]->text();
            colours << w->Shape1[size_t(i)]->backColor();
        }
        QCOMPARE(captions, (QStringList{"UDP in Color", "UDP out Color", "TCP in Color", "TCP out Color", "Background Color"}));
        QCOMPARE(colours, (QList<ColorRef>{rgb(192, 64, 0), rgb(255, 128, 0), rgb(0, 128, 0), rgb(0, 255, 0), rgb(0, 0, 0)}));
        const ColorRef udp = encodingColor(17);
        dialogs.colors.enqueue(rgb(9, 8, 7));
        QTest::mouseClick(w->Command[1], Qt::LeftButton);
        QTest::mouseClick(w->Command[2], Qt::LeftButton);   // cancelled: the swatch keeps its colour
        QCOMPARE(w->Shape1[1]->backColor(), rgb(9, 8, 7));
        QCOMPARE(w->Shape1[2]->backColor(), rgb(0, 128, 0));
        QCOMPARE(encodingColor(17), udp);   // no view draws with them
        w->show();
        QTest::mouseClick(w->btnDone, Qt::LeftButton);
        QVERIFY(!w->isVisible());
    }

    void hiddenItemsOpenTheirEmptyWindows_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("caption");
        QTest::newRow("load") << "LoadPreferences" << "Load Preferences";
        QTest::newRow("save") << "SaveSettings" << "Save Preferences";
        QTest::newRow("logging") << "ToolLogging" << "Logging";
    }
    void hiddenItemsOpenTheirEmptyWindows()
    {
        QFETCH(QString, item);
        QFETCH(QString, caption);
        QAction* action = frmMain()->menuItem(item);
        QVERIFY(!action->isVisible() && !action->isEnabled());
        action->setEnabled(true);   // as if it were offered
        action->trigger();
        action->setEnabled(false);
        QWidget* shown = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == caption) shown = w;
        QVERIFY(shown);
        if (item == "ToolLogging") {
            QTest::mouseClick(shown->findChild<QPushButton*>("btnLoggingOK"), Qt::LeftButton);
            QVERIFY(!shown->isVisible() && !action->isChecked());
        } else {
            QCOMPARE(shown->findChildren<QWidget*>().size(), 0);   // empty: nothing is read or written
            shown->hide();
        }
    }

    // A colour and a toggle changed in one run are back at their defaults in
    // the next, and no file was written anywhere under the user's home.
    void nothingPersists()
    {
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.filePath(".config"));
        env.insert("XDG_DATA_HOME", home.filePath(".local/share"));
        env.insert("XDG_CACHE_HOME", home.filePath(".cache"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        auto run = [&](const QString& what) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(QCoreApplication::applicationFilePath(), {"--run-as-program", what});
            p.waitForFinished(60000);
            return QString("%1 %2").arg(p.exitCode()).arg(QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed());
        };
        QCOMPARE(run("change"), QString("0 TCP down colour 030201 swatch 030201"));   // Exit ends with 0
        QCOMPARE(run("report"), QString("0 TCP up colour 00ff00 swatch 00ff00"));
        QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{});
    }

    void captionsStartInOneColumn()
    {
        QList<int> starts;
        for (int k = 1; k <= 6; ++k) {
            const QImage shot = frmMain()->findChild<QLabel*>(QString("Label%1").arg(k))->grab().toImage();
            const QColor back = shot.pixelColor(shot.width() - 1, 0);
            int first = shot.width();
            for (int x = 0; x < shot.width() && first == shot.width(); ++x)
                for (int y = 0; y < shot.height(); ++y)
                    if (shot.pixelColor(x, y) != back) { first = x; break; }
            starts << first;
        }
        QCOMPARE(QSet<int>(starts.begin(), starts.end()).size(), 1);
    }

    void viewsOpenBesideTheMainWindowCascaded()
    {
        QList<QPoint> corners;
        for (const ViewRow& row : viewRows()) {
            QWidget* view = static_cast<FormWindow*>(row.window());
            view->resize(view->minimumSize());   // all seven fit beside it on the test's small screen
            frmMain()->menuItem(row.menuItem)->trigger();
            QVERIFY(view->isVisible());
            QVERIFY2(!view->frameGeometry().intersects(frmMain()->frameGeometry()), row.objectName);
            corners << view->frameGeometry().topLeft();
            frmMain()->menuItem(row.menuItem)->trigger();
        }
        for (int i = 1; i < corners.size(); ++i)
            QVERIFY(corners[i].x() > corners[i - 1].x() && corners[i].y() > corners[i - 1].y());
    }

    void keyboardOnTheMainWindow()
    {
        frmMain()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frmMain()));
        // Tab reaches every thumbnail, which shows a focus frame; Space and Enter open its view.
        QWidget* focus = frmMain()->picVis(1);
        focus->setFocus();
        QSet<QWidget*> reached;
        for (int i = 0; i < 20; ++i, focus = focus->nextInFocusChain())
            if (focus->focusPolicy() & Qt::TabFocus) reached << focus;
        for (int k = 1; k <= 6; ++k) QVERIFY(reached.contains(frmMain()->picVis(k)));
        PictureSurface* thumb = frmMain()->picVis(3);
        thumb->setFocus();
        QVERIFY(thumb->findChild<QWidget*>("focusFrame")->isVisible());
        QCOMPARE(thumb->grab().toImage().pixelColor(1, 1), frmMain()->palette().color(QPalette::Highlight));
        QAction* item = frmMain()->menuItem("vis3");
        press(thumb, Qt::Key_Space);
        QVERIFY(item->isChecked());
        press(thumb, Qt::Key_Return);
        QVERIFY(!item->isChecked());

        // Enter presses the focused button, as Space does.
        frmMain()->tglDetail()->setFocus();
        press(frmMain()->tglDetail(), Qt::Key_Return);
        QVERIFY(frmMain()->menuItem("vis7")->isChecked());
        press(frmMain()->tglDetail(), Qt::Key_Enter);
        QVERIFY(!frmMain()->menuItem("vis7")->isChecked());

        // Ctrl+O loads a dataset and Ctrl+Q exits, from any of the program's windows.
        QCOMPARE(frmMain()->menuItem("LoadData")->shortcut(), QKeySequence("Ctrl+O"));
        QCOMPARE(frmMain()->menuItem("exit")->shortcut(), QKeySequence("Ctrl+Q"));
        QCOMPARE(frmMain()->menuItem("exit")->shortcutContext(), Qt::ApplicationShortcut);
        ScriptedDialogs dialogs;
        frmEncodings()->show();
        frmEncodings()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frmEncodings()));
        press(frmEncodings(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(dialogs.fileDialogTitles, QStringList{"Open nivora dataset"});
        const int before = endings;
        press(frmEncodings(), Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(endings, before + 1);
        frmEncodings()->hide();
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--run-as-program") return runAsProgram(argv[2]);
    TestSmallWindows test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_smallwindows.moc"
