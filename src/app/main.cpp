#include <QApplication>

#include "app/frmMain.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("nivora");
    QApplication::setQuitOnLastWindowClosed(false);   // only the main window ends the program
    frmMain()->show();
    return app.exec();
}
