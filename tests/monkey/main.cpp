// nivora-monkey SECONDS SEED WORK_FOLDER [GUARDED_FOLDER...]
// The program's windows, started as nivora starts them, driven for SECONDS by
// a random user drawn from SEED. Exit status 0: every invariant held.
#include <QApplication>
#include <cstdio>

#include "Monkey.h"
#include "app/frmMain.h"

namespace {
// The offscreen platform's notes on what it cannot do, and the test library's
// on events a widget left unhandled, say nothing about the program.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith("This plugin does not support") || message.contains("not accepted by receiving widget"))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}
}

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: nivora-monkey SECONDS SEED WORK_FOLDER [GUARDED_FOLDER...]\n");
        return 2;
    }
    MonkeyOptions options;
    options.seconds = std::atof(argv[1]);
    options.seed = std::strtoull(argv[2], nullptr, 10);
    options.work = QString::fromLocal8Bit(argv[3]);
    for (int i = 4; i < argc; ++i) options.guarded << QString::fromLocal8Bit(argv[i]);

    qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    QApplication::setApplicationName("nivora");
    QApplication::setQuitOnLastWindowClosed(false);
    frmMain()->show();
    Monkey monkey(options);
    monkey.start();
    return app.exec();
}
