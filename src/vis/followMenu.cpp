#include "followMenu.h"

#include <QMenu>

#include "core/followExpression.h"
#include "vis/packetSelection.h"

namespace {
ShowOnlyHandler& handler()
{
    static ShowOnlyHandler h;
    return h;
}

void showOnly(const std::string& expression)
{
    if (handler()) handler()(expression);
}
}

void setShowOnlyHandler(ShowOnlyHandler h) { handler() = std::move(h); }

QMenu* makeFollowMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName("mnuFollow");
    const int64_t packet = packetSelection().chosen();
    const struct {
        const char* caption;
        Follow follow;
    } items[] = {
        {"Show only this host", Follow::SourceHost},
        {"Show only the destination host", Follow::DestinationHost},
        {"Show only this conversation", Follow::Conversation},
    };
    for (const auto& item : items) {
        QAction* action = menu->addAction(item.caption);
        action->setEnabled(packet != 0);
        // The expression is made when chosen: the packet is still held then (a menu is quick).
        QObject::connect(action, &QAction::triggered, menu, [packet, follow = item.follow] {
            showOnly(followExpression(follow, packet));
        });
    }
    menu->addSeparator();
    QObject::connect(menu->addAction("Show everything"), &QAction::triggered, menu, [] { showOnly(""); });
    return menu;
}
