#include "controlSettings.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <functional>
#include <map>
#include <optional>

#include "platform/SpinButton.h"
#include "playback/frmEncodings.h"
#include "playback/frmFilters.h"
#include "ui/controlNames.h"
#include "vis/VisForm.h"
#include "vis/viewRegistry.h"

namespace {
// The windows whose controls can be set, by name, besides the views.
const std::map<QString, std::function<QWidget*()>>& otherWindows()
{
    static const std::map<QString, std::function<QWidget*()>> others = {
        {"frmEncodings", [] { return frmEncodings(); }},
        {"frmFilters", [] { return frmFilters(); }},
    };
    return others;
}

QWidget* windowNamed(const QString& name)
{
    for (const ViewRow& row : viewRows())
        if (name == row.objectName) return row.window();
    const auto it = otherWindows().find(name);
    return it == otherWindows().end() ? nullptr : it->second();
}

// The values a control takes as applySetting reads them; nothing when it
// cannot be set, an empty entry when any number in its range will do.
std::optional<QStringList> valuesOf(QWidget* control)
{
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        QStringList entries;
        for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
        return entries;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control); button && button->isCheckable())
        return QStringList{"true", "false"};
    if (qobject_cast<SpinButton*>(control) || qobject_cast<QAbstractSlider*>(control)) return QStringList{};
    return std::nullopt;
}

bool toNumber(const QString& text, int minimum, int maximum, int& value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= minimum && value <= maximum;
}

QString rangeText(int minimum, int maximum) { return QString("a number from %1 to %2").arg(minimum).arg(maximum); }
}

QString applySetting(const QString& setting)
{
    const qsizetype dot = setting.indexOf('.'), equals = setting.indexOf('=');
    if (dot <= 0 || equals < dot + 2) return QString("'%1' is not WINDOW.CONTROL=VALUE").arg(setting);
    const QString windowName = setting.left(dot);
    const QString controlName = setting.mid(dot + 1, equals - dot - 1);
    const QString value = setting.mid(equals + 1);
    const QString where = windowName + "." + controlName;

    QWidget* window = windowNamed(windowName);
    if (!window) return QString("unknown window '%1'").arg(windowName);
    QWidget* control = findControl(window, controlName);
    if (!control) return QString("%1 has no control '%2'").arg(windowName, controlName);
    const auto badValue = [&](const QString& expected) {
        return QString("'%1' is not a value of %2 (%3)").arg(value, where, expected);
    };

    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        const int index = combo->findText(value, Qt::MatchExactly);
        if (index < 0) {
            QStringList entries;
            for (int i = 0; i < combo->count(); ++i) entries << "\"" + combo->itemText(i) + "\"";
            return badValue("one of " + entries.join(", "));
        }
        combo->setCurrentIndex(index);
        emit combo->activated(index);   // as a choice from the list, which may repeat the current entry
        return {};
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control); button && button->isCheckable()) {
        if (value != "true" && value != "false") return badValue("true or false");
        button->setChecked(value == "true");
        return {};
    }
    int number = 0;
    if (auto* spin = qobject_cast<SpinButton*>(control)) {
        if (!toNumber(value, spin->minimum(), spin->maximum(), number))
            return badValue(rangeText(spin->minimum(), spin->maximum()));
        spin->setValue(number);
        return {};
    }
    if (auto* slider = qobject_cast<QAbstractSlider*>(control)) {
        if (!toNumber(value, slider->minimum(), slider->maximum(), number))
            return badValue(rangeText(slider->minimum(), slider->maximum()));
        slider->setValue(number);
        return {};
    }
    return QString("%1 cannot be set: it is not a list, button, spin button or scroll bar").arg(where);
}

QStringList settableControls()
{
    QStringList windows;
    for (const ViewRow& row : viewRows()) windows << row.objectName;
    for (const auto& [name, window] : otherWindows()) windows << name;
    QStringList settings;
    for (const QString& windowName : windows)
        for (QWidget* control : windowNamed(windowName)->findChildren<QWidget*>()) {
            const std::optional<QStringList> values = valuesOf(control);
            if (!values || control->objectName().isEmpty()) continue;
            const QVariant index = control->property("index");
            const QString prefix = windowName + "." + control->objectName()
                                   + (index.isValid() ? QString("[%1]").arg(index.toInt()) : QString()) + "=";
            settings << prefix;
            for (const QString& value : *values) settings << prefix + value;
        }
    return settings;
}
