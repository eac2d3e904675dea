#pragma once
// The "filters" window: it shows and edits the protocol settings, the
// toggles that hide packets from every view and the swatches of the colours.
#include <QPointer>
#include <map>

#include "ui/FormWindow.h"
#include "core/colorRef.h"
#include "core/modEncodings.h"

class QPushButton;
class QCheckBox;
class PictureSurface;

class FrmEncodings : public FormWindow {
    Q_OBJECT
public:
    FrmEncodings();

    // Down = hide packets of that kind.
    QPushButton* tglTCP;
    QPushButton* tglUDP;
    QPushButton* tglICMP;
    QPushButton* tglIGMP;
    QPushButton* tglOtherTransport;
    QPushButton* tglUnkTransport;
    QPushButton* btnApplyShown;   // draws the packets shown again with the settings as they are

    // The swatch by name ("picTCP", "picEther", ...).
    PictureSurface* swatch(const QString& name) const;
    ColorRef swatchColor(const QString& name) const;

protected:
    void unload() override;

private:
    QPushButton* addToggle(const QString& name, const QString& caption, int x, int y);
    void addSwatch(const QString& name, const QString& protocol, ColorRef* variable, int x, int y);
    void addPanel(const QString& name, ColorRef color, const QRect& geometry);
    // A check box that, while ticked, lets only packets matching it (or another ticked one) through.
    QCheckBox* addCheck(const QString& name, const QString& caption, QWidget* panel, int y, PacketMatch match,
                        const QString& matches);
    void pickColor(ColorRef* variable, PictureSurface* swatch, const QString& protocol);
    // A pressed toggle reads as "hidden": its caption struck through and
    // greyed, its swatch crossed out.
    void showHiddenLook(QPushButton* toggle, const QString& swatchName);
    void drawHiddenLook(QPushButton* toggle, PictureSurface* swatch);

    std::map<QString, PictureSurface*> swatches_;
    std::map<PictureSurface*, QPushButton*> swatchToggles_;
};

FrmEncodings* frmEncodings();
