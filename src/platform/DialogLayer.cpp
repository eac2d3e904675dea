#include "DialogLayer.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QInputDialog>
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
        QMessageBox box(iconOf(icon), title, text, buttonsOf(buttons), QApplication::activeWindow());
        keepWordsWhole(box);
        switch (box.exec()) {   // Escape and the close box answer Cancel where there is one
        case QMessageBox::Yes: return MsgResult::Yes;
        case QMessageBox::No: return MsgResult::No;
        case QMessageBox::Cancel: return MsgResult::Cancel;
        case QMessageBox::Save: return MsgResult::Save;
        case QMessageBox::Discard: return MsgResult::Discard;
        default: return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
        }
    }

    QString openFileName(const QString& title, const QString& folder, const QString& filter) override
    {
        return fileName(QFileDialog::AcceptOpen, title, folder, filter);
    }

    QString saveFileName(const QString& title, const QString& folder, const QString& filter) override
    {
        return fileName(QFileDialog::AcceptSave, title, folder, filter);
    }

    ColorRef chooseColor(ColorRef initial, const QString& title) override
    {
        const QColor chosen = QColorDialog::getColor(toQColor(initial), QApplication::activeWindow(), title);
        return chosen.isValid() ? fromQColor(chosen) : initial;
    }

    std::optional<QString> editText(const QString& title, const QString& label, const QString& initial) override
    {
        bool ok = false;
        const QString text = QInputDialog::getMultiLineText(QApplication::activeWindow(), title, label, initial, &ok);
        if (!ok) return std::nullopt;
        return text;
    }

    QString commandLine(const QString& title, const QStringList& recent) override
    {
        bool ok = false;
        const QString line = QInputDialog::getItem(QApplication::activeWindow(), title,
                                                   "Command whose standard output is a pcap or pcapng stream\n"
                                                   "(e.g. ssh sensor tcpdump -U -w - not port 22):",
                                                   recent, 0, true, &ok);
        return ok ? line : QString();
    }

private:
    static QString fileName(QFileDialog::AcceptMode mode, const QString& title, const QString& folder,
                            const QString& filter)
    {
        QFileDialog dialog(QApplication::activeWindow(), title, folder, filter);
        dialog.setAcceptMode(mode);
        dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        showNamesOnly(dialog);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return dialog.selectedFiles().constFirst();
    }

    static QMessageBox::StandardButtons buttonsOf(MsgButtons buttons)
    {
        switch (buttons) {
        case MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
        case MsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MsgButtons::SaveDiscardCancel: return QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
        case MsgButtons::Ok: break;
        }
        return QMessageBox::Ok;
    }

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

// Icons and types from the name and kind alone. The toolkit's own guess the
// type from the first bytes of a file without a known extension, and a read
// of a kernel file such as /proc/kmsg never returns.
class NamesOnlyIcons final : public QFileIconProvider {
public:
    NamesOnlyIcons() { setOptions(DontUseCustomDirectoryIcons); }
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override { return icon(info.isDir() ? Folder : File); }
    QString type(const QFileInfo& info) const override
    {
        if (info.isDir()) return QStringLiteral("Folder");
        if (!info.isFile()) return QStringLiteral("Special file");
        return info.suffix().isEmpty() ? QStringLiteral("File") : info.suffix().toUpper() + " file";
    }
};

QtDialogs qtDialogs;
DialogLayer* current = &qtDialogs;
}

void showNamesOnly(QFileDialog& dialog)
{
    static NamesOnlyIcons icons;
    // The desktop's dialog would bring its own type guessing.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setIconProvider(&icons);
}

DialogLayer& dialogs() { return *current; }
void installDialogs(DialogLayer* layer) { current = layer ? layer : &qtDialogs; }
