// The capture window reading a stream: a named pipe whose writer opens late,
// writes slowly and dies mid-record; frames stored as written, times
// included, and drawn; what is not a capture; Stop; the capture filter;
// standard input offered only when it is a pipe; a command's output, its
// standard error, its failures, Stop ending it, the commands remembered.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "acquire/frmCapture.h"
#include "acquire/modSaveData.h"
#include "app/guiStoreHost.h"
#include "core/linkOrigins.h"
#include "core/storeHost.h"
#include "platform/StreamControl.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/captureSupport.h"
#include "support/capturedLines.h"

using namespace capture_support;
using recorded::numbered;
using Call = RecordingView::Call;

namespace {
// What the store holds, packet by packet, as lines to compare with the file's.
QStringList storedLines()
{
    QStringList lines;
    for (int64_t n = firstHeldPacket(); n >= 1 && n <= getPacketCount(); ++n) {
        const recorded::Frame f = recorded::stored(n);
        lines << captured::lineOf(f.data(), f.size(), FrameStamp{getCaptureTime(n), 0}).section(' ', 0, 1);
    }
    return lines;
}
QStringList withoutWireLengths(const QStringList& lines)
{
    QStringList cut;
    for (const QString& l : lines) cut << l.section(' ', 0, 1);
    return cut;
}

// The writing end of a pipe, written in pieces while the event loop runs.
class PipeWriter {
public:
    explicit PipeWriter(int fd) : fd_(fd) {}
    ~PipeWriter() { close(); }
    bool write(const QByteArray& bytes, qsizetype piece = 4096, int pauseMs = 0)
    {
        for (qsizetype at = 0; at < bytes.size(); at += piece) {
            const QByteArray part = bytes.mid(at, piece);
            if (::write(fd_, part.constData(), size_t(part.size())) != part.size()) return false;
            QTest::qWait(pauseMs);
        }
        return true;
    }
    void close()
    {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};
}

class TestCaptureStream : public QObject {
    Q_OBJECT
    FakeAdapters adapters;
    RecordingViews views;
    ScriptedDialogs* dialogs = nullptr;
    QTemporaryDir dir;
    int savedStdin = -1;

    QString fifo(const QString& name)
    {
        const QString path = dir.filePath(name);
        return ::mkfifo(qPrintable(path), 0600) == 0 ? path : QString();
    }
    // Picks "Named pipe…", answers the dialog with `path` and starts.
    FrmCapture* startPipe(const QString& path, const QString& filter = {})
    {
        FrmCapture* w = frmCapture();
        w->cmbInterface->setCurrentIndex(w->cmbInterface->findData("pipe", FrmCapture::kSourceRole));
        w->txtFilter->setText(filter);
        dialogs->fileNames << path;
        QTest::mouseClick(w->btnStart, Qt::LeftButton);
        return w;
    }
    // Picks "Command…", answers the prompt with `line` and starts.
    FrmCapture* startCommand(const QString& line)
    {
        FrmCapture* w = frmCapture();
        w->cmbInterface->setCurrentIndex(w->cmbInterface->findData("command", FrmCapture::kSourceRole));
        dialogs->commandLines << line;
        QTest::mouseClick(w->btnStart, Qt::LeftButton);
        return w;
    }
    bool ended() { return waitFor([] { return !frmCapture()->stream->isStreaming(); }, 5000); }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("config")));   // the remembered commands
        installAdapterSource(&adapters);
        setStoreHost(&guiStoreHost());
        savedStdin = ::dup(0);
    }
    void init()
    {
        dialogs = new ScriptedDialogs;
        resetBuffer("startup");
        views.forget();
        adapters.listing = {{{"lo", ""}}, ""};
    }
    void cleanup()
    {
        delete frmCapture();
        delete dialogs;
        ::dup2(savedStdin, 0);
    }

    // The writer opens late, writes slowly, and dies in the middle of a frame:
    // the window waits without freezing, stores every whole frame as written,
    // draws them, and says how the stream ended.
    void namedPipeFromLateSlowWriterThatDies()
    {
        const QString path = fifo("late.fifo");
        FrmCapture* w = startPipe(path);
        QVERIFY2(w->stream->isStreaming(), qPrintable(dialogs->shown.value(0).text));
        QCOMPARE(w->lblStatus->text(), "waiting for data on " + path);
        QTest::qWait(200);   // no writer yet: nothing ends
        QVERIFY(w->stream->isStreaming() && w->btnStop->isEnabled());

        const QByteArray bytes = captured::mixedPcapng(10);
        PipeWriter writer(::open(qPrintable(path), O_WRONLY));
        // Slowly, records cut anywhere; the stream ends 20 bytes before the end
        // of its 39th frame (its Linux cooked and loopback frames shown as Ethernet).
        QVERIFY(writer.write(bytes.left(bytes.size() - 64 - 20), 97, 2));
        QVERIFY(waitFor([] { return getPacketCount() == 38; }));
        writer.close();
        QVERIFY(waitFor([&] { return !w->stream->isStreaming(); }));
        QCOMPARE(w->lblStatus->text(), QString("Stopped: stream ended after 38 frames; the last frame was cut short: "
                                               "80 bytes dropped"));
        QVERIFY(dialogs->shown.isEmpty());   // an ending is no failure
        const QString whole = dir.filePath("late.pcapng");
        QVERIFY(recorded::writeFile(whole, bytes));
        QCOMPARE(storedLines(), withoutWireLengths(captured::fileLines(whole)).mid(0, 38));
        QCOMPARE(views[1].count(Call::Plot), 38);
        QVERIFY(heldPacketsUnsaved());   // quitting asks, as after a capture
        QCOMPARE(w->btnStart->isEnabled(), true);
    }

    // Stop ends the reading at once; what came is kept.
    void stopEndsTheStream()
    {
        const QString path = fifo("stop.fifo");
        FrmCapture* w = startPipe(path);
        PipeWriter writer(::open(qPrintable(path), O_WRONLY));
        QVERIFY(writer.write(captured::bigEndianPcap(numbered(1, 5))));
        QVERIFY(waitFor([] { return getPacketCount() == 5; }));
        QTest::mouseClick(w->btnStop, Qt::LeftButton);
        QVERIFY(!w->stream->isStreaming());
        QCOMPARE(w->lblStatus->text(), QString("Stopped: 5 frames received"));
        QCOMPARE(w->btnStart->isEnabled(), true);
    }

    // The capture filter runs on every frame of the stream.
    void filterAppliesToTheStream()
    {
        const QString path = fifo("filter.fifo");
        startPipe(path, "udp src port 3 or udp src port 4");
        PipeWriter writer(::open(qPrintable(path), O_WRONLY));
        QVERIFY(writer.write(captured::bigEndianPcap(numbered(1, 6))));
        writer.close();
        QVERIFY(waitFor([] { return !frmCapture()->stream->isStreaming(); }));
        QCOMPARE(getPacketCount(), 2);
        QCOMPARE(recorded::numberOf(1), 3);
        QCOMPARE(frmCapture()->lblStatus->text(), QString("Stopped: stream ended after 6 frames"));
    }

    // Text (a command's complaint) is refused with what it was; the packets held stay.
    void textIsRefusedWithWhatItWas()
    {
        const QString path = fifo("text.fifo");
        FrmCapture* w = startPipe(path);
        PipeWriter writer(::open(qPrintable(path), O_WRONLY));
        QVERIFY(writer.write("tcpdump: eth9: No such device exists\n"));
        QVERIFY(waitFor([&] { return !dialogs->shown.isEmpty(); }));
        QCOMPARE(dialogs->shown[0].text, "Reading " + path + " has stopped: the stream is not a pcap or pcapng capture: "
                                          "it begins with the text \"tcpdump: eth9: N\"\n\nThe packets received so far are kept.");
        QVERIFY(!w->stream->isStreaming());
    }

    // Cancel on the overwrite question: nothing read, the held packets kept, the pipe let go.
    void cancelledQuestionReadsNothing()
    {
        addPacket(frames::ipv4(60, 6).data(), 59);
        const QString path = fifo("cancel.fifo");
        dialogs->answers << MsgResult::Cancel;
        FrmCapture* w = startPipe(path);
        QVERIFY(!w->stream->isStreaming() && w->btnStart->isEnabled());
        QCOMPARE(getPacketCount(), 1);
        const int fd = ::open(qPrintable(path), O_WRONLY | O_NONBLOCK);
        QCOMPARE(fd, -1);   // no reader holds the pipe open
    }

    // Something that is no named pipe is refused before the store is touched.
    void notAPipeIsRefused()
    {
        addPacket(frames::ipv4(60, 6).data(), 59);
        const QString plain = dir.filePath("plain.pcap");
        QVERIFY(recorded::writeFile(plain, "x"));
        startPipe(plain);
        QCOMPARE(dialogs->shown.value(0).text, "\"" + plain + "\" is not a named pipe");
        QCOMPARE(getPacketCount(), 1);
        QVERIFY(!frmCapture()->stream->isStreaming());
    }

    // "Standard input" is offered when it is a pipe, not when it is a terminal,
    // and reads what is piped in.
    void standardInputOnlyWhenPiped()
    {
        const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (terminal < 0 || ::grantpt(terminal) != 0 || ::unlockpt(terminal) != 0) QSKIP("no pseudo-terminal here");
        const int side = ::open(ptsname(terminal), O_RDWR | O_NOCTTY);
        QVERIFY(side >= 0 && ::dup2(side, 0) == 0);
        ::close(side);
        QCOMPARE(frmCapture()->cmbInterface->findData("stdin", FrmCapture::kSourceRole), -1);
        delete frmCapture();
        ::close(terminal);

        int ends[2];
        QVERIFY(::pipe(ends) == 0 && ::dup2(ends[0], 0) == 0);
        ::close(ends[0]);
        FrmCapture* w = frmCapture();
        const int entry = w->cmbInterface->findData("stdin", FrmCapture::kSourceRole);
        QCOMPARE(w->cmbInterface->itemText(entry), QString("Standard input"));
        w->cmbInterface->setCurrentIndex(entry);
        QTest::mouseClick(w->btnStart, Qt::LeftButton);
        QCOMPARE(w->lblStatus->text(), QString("waiting for data on standard input"));
        PipeWriter writer(ends[1]);
        QVERIFY(writer.write(captured::bigEndianPcap(numbered(1, 3))));
        writer.close();
        QVERIFY(waitFor([&] { return !w->stream->isStreaming(); }));
        QCOMPARE(getPacketCount(), 3);
    }

    // The command's standard output is the stream, its frames stored as
    // written; the command is offered again next time, newest first.
    void commandOutputIsTheStream()
    {
        const QString file = dir.filePath("command.pcapng");
        QVERIFY(recorded::writeFile(file, captured::mixedPcapng(7)));
        const QString line = "cat '" + file + "'";
        FrmCapture* w = startCommand(line);
        QVERIFY(ended());
        QVERIFY2(dialogs->shown.isEmpty(), qPrintable(dialogs->shown.value(0).text));
        QCOMPARE(storedLines(), withoutWireLengths(captured::fileLines(file)));
        // Each frame keeps its own link type for the detail view, as a file's do.
        QCOMPARE((QList<int>{linkTypeOfPacket(1), linkTypeOfPacket(2), linkTypeOfPacket(16)}), (QList<int>{1, 113, 0}));
        QCOMPARE(w->lblStatus->text(), QString("Stopped: stream ended after 28 frames"));
        startCommand("true");
        QVERIFY(ended());
        startCommand("");   // cancelled
        QCOMPARE(dialogs->recentOffered.value(2), (QStringList{"true", line}));
    }

    // The last line of its standard error shows while it runs; Stop asks it
    // to end and, when it will not, kills it after 2 s.
    void stopEndsACommandThatWillNotEnd()
    {
        const QString pidFile = dir.filePath("pid");
        FrmCapture* w = startCommand("sh -c 'trap \"\" TERM; echo $$ > " + pidFile
                                     + "; echo tcpdump: starting >&2; echo \"tcpdump: listening on lo\" >&2; exec sleep 30'");
        QVERIFY(waitFor([&] { return w->lblStatus->text().endsWith("\ntcpdump: listening on lo"); }));
        QVERIFY(w->lblStatus->text().startsWith("waiting for data from sh -c"));
        const pid_t pid = recorded::readFile(pidFile).trimmed().toInt();
        QVERIFY(pid > 0);
        QTest::mouseClick(w->btnStop, Qt::LeftButton);
        QVERIFY(!w->stream->isStreaming() && w->btnStart->isEnabled());
        QTest::qWait(1000);
        QCOMPARE(::kill(pid, 0), 0);   // it ignores the request to end
        QVERIFY(waitFor([&] { return ::kill(pid, 0) != 0; }, 3000));   // killed, and reaped
    }

    // A command that cannot start, or ends with an error before any frame,
    // says why; one that cannot be split is not run.
    void commandFailures_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("says");
        QTest::newRow("not there") << "nivora-no-such-command -w -"
                                   << "Reading nivora-no-such-command -w - has stopped: nivora-no-such-command could not start: ";
        QTest::newRow("fails, saying why on stderr")
            << "sh -c 'echo \"ssh: connect to host sensor port 22: Connection refused\" >&2; exit 255'"
            << "has stopped: sh ended with status 255: ssh: connect to host sensor port 22: Connection refused\nstream ended after 0 frames";
        QTest::newRow("unclosed quote") << "ssh 'sensor" << "The command cannot be run: the closing ' is missing";
    }
    void commandFailures()
    {
        QFETCH(QString, line);
        QFETCH(QString, says);
        FrmCapture* w = startCommand(line);
        QVERIFY(ended());
        QVERIFY(waitFor([&] { return !dialogs->shown.isEmpty(); }));
        QVERIFY2(dialogs->shown[0].text.contains(says), qPrintable(dialogs->shown[0].text));
        QCOMPARE(w->btnStart->isEnabled(), true);
    }
};

QTEST_MAIN(TestCaptureStream)
#include "test_captureStream.moc"
