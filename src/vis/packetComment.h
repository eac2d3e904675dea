#pragma once
// Adding, editing and removing the comment of a held packet from the views:
// the detail view's "Comment…" button and the views' context menu. An edit
// marks the store unsaved (the comments exist in no file) and is announced,
// so what shows a comment shows the new one.
#include <QObject>
#include <QString>
#include <cstdint>

class QMenu;

// The packet's comments, one after the other on lines of their own; empty when it has none.
QString commentTextOf(int64_t packet);

// Asks for the packet's comment, starting from what it has: the text given
// becomes its one comment, an empty text removes its comments. False when
// the packet is not held, the edit was cancelled or nothing changed.
bool editCommentOf(int64_t packet);

// The views' context-menu entries for a packet (0: none under the pointer or chosen).
void addCommentEntries(QMenu& menu, int64_t packet);

class CommentEvents : public QObject {
    Q_OBJECT
signals:
    void edited(int64_t packet);
};
CommentEvents& commentEvents();
