#include "DialogLayer.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <algorithm>

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
        keepWordsWhole(box);
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
    // The box wraps its text at blanks, and breaks a word wider than the
    // box anywhere. A command or a path must stay whole to be copied, so the
    // text gets at least the width of its widest word (within the screen).
    static void keepWordsWhole(QMessageBox& box)
    {
        auto* label = box.findChild<QLabel*>("qt_msgbox_label");
        if (!label) return;
        const QFontMetrics metrics = label->fontMetrics();
        int widestWord = 0, longestLine = 0;
        for (const QString& word : box.text().split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
            widestWord = std::max(widestWord, metrics.horizontalAdvance(word));
        for (const QString& line : box.text().split('\n'))
            longestLine = std::max(longestLine, metrics.horizontalAdvance(line));
        const QScreen* screen = box.screen();
        const int screenWidth = screen ? screen->availableGeometry().width() : 1024;
        // A minimum width replaces the label's own: it must not fall below
        // what the box would give a short text (the text's width, up to
        // where the box starts wrapping).
        const int usual = std::min(longestLine, std::min(screenWidth / 2, 500));
        const int room = screenWidth - 160;   // the icon and the margins beside
        label->setMinimumWidth(std::min(std::max(widestWord + 8, usual), room));
    }

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
