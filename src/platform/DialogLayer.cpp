#include "DialogLayer.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace {
class QtDialogs final : public DialogLayer {
public:
    MsgResult messageBox(const QString& text, const QString& title, MsgButtons buttons,
                         MsgIcon icon) override
    {
        QMessageBox box(iconOf(icon), title, text,
                        buttons == MsgButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                     : QMessageBox::Ok,
                        QApplication::activeWindow());
        const int answer = box.exec();
        if (buttons == MsgButtons::Ok) return MsgResult::Ok;
        return answer == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
    }

    QString openFileName(const QString& title, const QString& folder, const QString& filter) override
    {
        return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, folder, filter);
    }

    QString saveFileName(const QString& title, const QString& folder, const QString& filter) override
    {
        return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, folder, filter);
    }

    ColorRef chooseColor(ColorRef initial) override
    {
        const QColor chosen = QColorDialog::getColor(toQColor(initial), QApplication::activeWindow());
        return chosen.isValid() ? fromQColor(chosen) : initial;
    }

private:
    static QMessageBox::Icon iconOf(MsgIcon icon)
    {
        switch (icon) {
        case MsgIcon::Exclamation: return QMessageBox::Warning;
        case MsgIcon::Critical: return QMessageBox::Critical;
        case MsgIcon::Information: return QMessageBox::Information;
        case MsgIcon::None: break;
        }
        return QMessageBox::NoIcon;
    }
};

QtDialogs qtDialogs;
DialogLayer* current = &qtDialogs;
}

DialogLayer& dialogs() { return *current; }
void installDialogs(DialogLayer* layer) { current = layer ? layer : &qtDialogs; }
