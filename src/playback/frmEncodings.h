#pragma once
// The "filters" window: it shows and edits the protocol settings, the
// toggles that hide packets from every view and the swatches of the colours.
#include <QPointer>
#include <map>
#include <optional>
#include <string>

#include "ui/FormWindow.h"
#include "core/colorRef.h"
#include "core/modEncodings.h"

class QPushButton;
class QCheckBox;
class QComboBox;
class QLabel;
class FilterExpression;
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
    QComboBox* cmbShowOnly;       // a libpcap filter expression, the last ones used in its list; Enter applies it
    QLabel* lblShowOnlyError;     // why the text entered was refused, or that its names are being looked up

    // Checks `text` as "Show only": valid, it applies from the next packet
    // drawn and the shown packets are drawn again with it; invalid, libpcap's
    // message shows under the line and the expression in force stays. Text
    // that names hosts or ports is compiled on a thread of its own, as its
    // lookup may block: it applies once the lookup ends.
    void applyShowOnly(const QString& text);
    // Puts `text` in the Show only line and applies it, as Enter does.
    void showOnly(const QString& text);

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
    void addShowOnly(int y);
    // The end of applyShowOnly's request number `request`; a later request overrides it.
    void showOnlyCompiled(uint64_t request, const std::optional<FilterExpression>& compiled, const std::string& error);

    uint64_t showOnlyRequest_ = 0;

    std::map<QString, PictureSurface*> swatches_;
    std::map<PictureSurface*, QPushButton*> swatchToggles_;
};

FrmEncodings* frmEncodings();
