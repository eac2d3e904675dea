#pragma once
// The "Colour Rules" window: an ordered list of rules, each an enabled tick,
// a colour and a libpcap filter expression. The first enabled rule that
// matches a packet gives the colour it is drawn in from then on. The rules
// are kept in the preferences and written to and read from text files.
#include <QPointer>

#include "ui/FormWindow.h"

class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

class FrmColourRules : public FormWindow {
    Q_OBJECT
public:
    FrmColourRules();

    QTableWidget* tblRules;   // columns: the tick, the colour, the expression
    QLabel* lblRuleError;     // libpcap's message for an expression refused
    QPushButton* btnAddRule;
    QPushButton* btnRemoveRule;
    QPushButton* btnRuleUp;
    QPushButton* btnRuleDown;
    QPushButton* btnOpenRules;
    QPushButton* btnSaveRules;

    enum Column { kTick, kColour, kExpression };

private:
    void showRules();
    void ruleEdited(QTableWidgetItem* item);
    void pickColour(int row);
    void moveRule(int by);
    void openRules();
    void saveRules();

    bool showing_ = false;   // the table is being filled, not edited
};

FrmColourRules* frmColourRules();

// The rules kept in the preferences, in force at start-up.
void loadColourRulesPreference();
