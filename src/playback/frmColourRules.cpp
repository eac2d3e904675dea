#include "frmColourRules.h"

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSettings>
#include <QTableWidget>

#include "core/colourRules.h"
#include "platform/DialogLayer.h"
#include "platform/colorRef.h"

namespace {
QPointer<FrmColourRules> instance;
const char* const kRulesKey = "colourRules/text";
const char* const kRulesFiles = "Colour rules (*.txt);;All files (*)";
// A rule added is white, as no protocol is, and off until its own expression is typed.
const char* const kNewRuleExpression = "ip";

void keepRules(const std::vector<ColourRule>& rules)
{
    setColourRules(rules);
    QSettings("nivora", "nivora").setValue(kRulesKey, QString::fromStdString(colourRulesText(rules)));
}
}

FrmColourRules* frmColourRules() { return formInstance(instance); }

void loadColourRulesPreference()
{
    std::vector<ColourRule> rules;
    std::string error;
    const QString kept = QSettings("nivora", "nivora").value(kRulesKey).toString();
    if (parseColourRules(kept.toStdString(), rules, error)) setColourRules(rules);
}

FrmColourRules::FrmColourRules() : FormWindow("frmColourRules", "Colour Rules", "ToolColourRules")
{
    setFixedSize(520, 320);
    tblRules = new QTableWidget(0, 3, this);
    tblRules->setObjectName("tblRules");
    tblRules->setGeometry(8, 8, 410, 252);
    tblRules->setHorizontalHeaderLabels({"On", "Colour", "Expression"});
    tblRules->horizontalHeader()->setStretchLastSection(true);
    tblRules->setColumnWidth(kTick, 36);
    tblRules->setColumnWidth(kColour, 64);
    tblRules->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblRules->setSelectionMode(QAbstractItemView::SingleSelection);
    tblRules->setToolTip("The first ticked rule whose expression matches a packet gives its colour; "
                         "double-click a colour to change it");
    lblRuleError = new QLabel(this);
    lblRuleError->setObjectName("lblRuleError");
    lblRuleError->setGeometry(8, 264, 504, 48);
    lblRuleError->setWordWrap(true);
    lblRuleError->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette red = lblRuleError->palette();
    red.setColor(QPalette::WindowText, QColor(192, 0, 0));
    lblRuleError->setPalette(red);

    auto button = [this](const char* name, const QString& caption, const QString& tip, int y) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setToolTip(tip);
        b->setGeometry(426, y, 86, 28);
        return b;
    };
    btnAddRule = button("btnAddRule", "&Add", "Add a rule at the end", 8);
    btnRemoveRule = button("btnRemoveRule", "&Remove", "Remove the selected rule", 40);
    btnRuleUp = button("btnRuleUp", "&Up", "Move the selected rule up: it is asked earlier", 72);
    btnRuleDown = button("btnRuleDown", "&Down", "Move the selected rule down", 104);
    btnOpenRules = button("btnOpenRules", "&Open...", "Read rules from a text file, one a line: #rrggbb EXPRESSION", 168);
    btnSaveRules = button("btnSaveRules", "&Save...", "Write the rules to a text file", 200);

    connect(btnAddRule, &QPushButton::clicked, this, [this] {
        std::vector<ColourRule> rules = colourRules();
        std::string ignored;
        rules.push_back(ColourRule{false, rgb(255, 255, 255), *FilterExpression::compile(kNewRuleExpression, ignored)});
        keepRules(rules);
        showRules();
        tblRules->setCurrentCell(tblRules->rowCount() - 1, kExpression);
        tblRules->editItem(tblRules->currentItem());
    });
    connect(btnRemoveRule, &QPushButton::clicked, this, [this] {
        const int row = tblRules->currentRow();
        std::vector<ColourRule> rules = colourRules();
        if (row < 0 || row >= int(rules.size())) return;
        rules.erase(rules.begin() + row);
        keepRules(rules);
        showRules();
    });
    connect(btnRuleUp, &QPushButton::clicked, this, [this] { moveRule(-1); });
    connect(btnRuleDown, &QPushButton::clicked, this, [this] { moveRule(1); });
    connect(btnOpenRules, &QPushButton::clicked, this, &FrmColourRules::openRules);
    connect(btnSaveRules, &QPushButton::clicked, this, &FrmColourRules::saveRules);
    connect(tblRules, &QTableWidget::itemChanged, this, &FrmColourRules::ruleEdited);
    connect(tblRules, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (column == kColour) pickColour(row);
    });
    showRules();
}

void FrmColourRules::showRules()
{
    showing_ = true;
    const std::vector<ColourRule>& rules = colourRules();
    tblRules->setRowCount(int(rules.size()));
    for (int row = 0; row < int(rules.size()); ++row) {
        const ColourRule& rule = rules[size_t(row)];
        auto* tick = new QTableWidgetItem;
        tick->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        tick->setCheckState(rule.enabled ? Qt::Checked : Qt::Unchecked);
        tblRules->setItem(row, kTick, tick);
        auto* colour = new QTableWidgetItem(QString::fromStdString(colourText(rule.colour)));
        colour->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        colour->setBackground(toQColor(rule.colour));
        colour->setForeground(QColor(redOf(rule.colour) + greenOf(rule.colour) + blueOf(rule.colour) > 384 ? Qt::black : Qt::white));
        tblRules->setItem(row, kColour, colour);
        tblRules->setItem(row, kExpression, new QTableWidgetItem(QString::fromStdString(rule.expression.text())));
    }
    showing_ = false;
}

void FrmColourRules::ruleEdited(QTableWidgetItem* item)
{
    if (showing_) return;
    std::vector<ColourRule> rules = colourRules();
    const int row = item->row();
    if (row < 0 || row >= int(rules.size())) return;
    ColourRule& rule = rules[size_t(row)];
    if (item->column() == kTick) {
        rule.enabled = item->checkState() == Qt::Checked;
    } else if (item->column() == kExpression) {
        std::string error;
        const std::optional<FilterExpression> compiled = FilterExpression::compile(item->text().toStdString(), error);
        if (!compiled || compiled->empty()) {
            // Refused: the rule keeps the expression it had, the text stays to be mended.
            lblRuleError->setText(QString("Rule %1: %2").arg(row + 1).arg(compiled ? "an expression is needed"
                                                                                    : QString::fromStdString(error)));
            item->setToolTip(lblRuleError->text());
            return;
        }
        rule.expression = *compiled;
        rule.enabled = true;   // typed to be used
        item->setToolTip({});
    }
    lblRuleError->clear();
    keepRules(rules);
    if (QTableWidgetItem* tick = tblRules->item(row, kTick); tick && item->column() == kExpression) {
        showing_ = true;
        tick->setCheckState(Qt::Checked);
        showing_ = false;
    }
}

void FrmColourRules::pickColour(int row)
{
    std::vector<ColourRule> rules = colourRules();
    if (row < 0 || row >= int(rules.size())) return;
    rules[size_t(row)].colour = dialogs().chooseColor(rules[size_t(row)].colour, QString("Colour for rule %1").arg(row + 1));
    keepRules(rules);
    showRules();
}

void FrmColourRules::moveRule(int by)
{
    const int row = tblRules->currentRow(), to = row + by;
    std::vector<ColourRule> rules = colourRules();
    if (row < 0 || to < 0 || to >= int(rules.size())) return;
    std::swap(rules[size_t(row)], rules[size_t(to)]);
    keepRules(rules);
    showRules();
    tblRules->setCurrentCell(to, kExpression);
}

void FrmColourRules::openRules()
{
    const QString path = dialogs().openFileName("Open Colour Rules", QString(), kRulesFiles);
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        lblRuleError->setText(QString("Cannot open \"%1\": %2").arg(path, file.errorString()));
        return;
    }
    std::vector<ColourRule> rules;
    std::string error;
    if (!parseColourRules(file.readAll().toStdString(), rules, error)) {
        lblRuleError->setText(QString("\"%1\", %2; the rules in force stay").arg(path, QString::fromStdString(error)));
        return;
    }
    lblRuleError->clear();
    keepRules(rules);
    showRules();
}

void FrmColourRules::saveRules()
{
    const QString path = dialogs().saveFileName("Save Colour Rules", QString(), kRulesFiles);
    if (path.isEmpty()) return;
    QSaveFile file(path);
    const QByteArray text = QByteArray::fromStdString(colourRulesText(colourRules()));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        lblRuleError->setText(QString("Cannot write \"%1\": %2").arg(path, file.errorString()));
    else
        lblRuleError->clear();
}
