#include "packetComment.h"

#include <QMenu>

#include "core/modLibrary.h"
#include "core/packetComments.h"
#include "platform/DialogLayer.h"

QString commentTextOf(int64_t packet)
{
    QStringList lines;
    if (const std::optional<FrameComments> comments = packetComments(packet))
        for (const std::string& c : *comments) lines << QString::fromStdString(c);
    return lines.join('\n');
}

bool editCommentOf(int64_t packet)
{
    if (packet < firstHeldPacket() || packet > getPacketCount()) return false;
    const QString before = commentTextOf(packet);
    const std::optional<QString> text =
        dialogs().editText("Comment", QString("Comment on packet %1 (an empty text removes it):").arg(packet), before);
    if (!text) return false;
    // The same text kept leaves several comments as they were; an empty one removes even an empty comment.
    const bool changed = text->isEmpty() ? hasPacketComments(packet) : *text != before;
    if (!changed) return false;
    editPacketComments(packet, text->isEmpty() ? FrameComments{} : FrameComments{text->toStdString()});
    emit commentEvents().edited(packet);
    return true;
}

void addCommentEntries(QMenu& menu, int64_t packet)
{
    QAction* comment = menu.addAction("Comment…", [packet] { editCommentOf(packet); });
    comment->setObjectName("mnuComment");
    comment->setEnabled(packet >= firstHeldPacket() && packet <= getPacketCount() && packet > 0);
}

CommentEvents& commentEvents()
{
    static CommentEvents events;
    return events;
}
