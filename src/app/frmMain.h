#pragma once
// The main window: six thumbnails with their captions, the detail toggle and
// the menu bar from which every other window is opened. Closing it ends the program.
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>

class QAction;
class QLabel;
class QPushButton;
class PictureSurface;

class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    FrmMain();

    // The menu item with this name ("vis1", "ToolFilters", "exit", ...), or nullptr.
    QAction* menuItem(const QString& name) const;
    // Thumbnail k = 1..6.
    PictureSurface* picVis(int k) const { return picVis_.at(size_t(k - 1)); }
    PictureSurface* picVis6Back() const { return picVis6Back_; }
    QPushButton* tglDetail() const { return tglDetail_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    // Space or Enter on a focused thumbnail opens its view; Enter presses the focused button.
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void buildThumbnails(QWidget* client);
    void buildMenus();
    QAction* addItem(class QMenu* menu, const QString& name, const QString& caption, bool shown);
    void addWindowItem(QMenu* menu, const QString& name, const QString& caption,
                       std::function<QWidget*()> window);
    // The view window, moved beside this one the first time it is shown.
    QWidget* placedBeside(QWidget* window, int order);

    std::array<PictureSurface*, 6> picVis_{};
    PictureSurface* picVis6Back_ = nullptr;
    QPushButton* tglDetail_ = nullptr;
};

FrmMain* frmMain();
bool frmMainExists();

// Ends the program at once, whatever is running. Tests replace the ending.
void endProgram();
void setProgramEnding(std::function<void()> ending);
