#pragma once
// What "nivora-cli pick" answers: the packets that drew one pixel of a view's
// picture, named as render's manifest names the picture ("scatterplot",
// "combined_left").
#include <QPoint>
#include <QString>
#include <QStringList>
#include <optional>

struct PickedPicture {
    int view;      // the registry's view number
    int picture;   // its screenshot picture
};

// Every picture's name, in the registry's order.
QStringList pictureNames();
// The picture of that name; nothing, with the names there are in error, when none has it.
std::optional<PickedPicture> pickedPicture(const QString& name, QString& error);
// An empty message when the point lies on the picture, else why not.
QString pointOutside(const PickedPicture& picked, QPoint at, const QString& name);
// Prints the packets under the point, one a line, topmost first; false when none drew there.
bool printPickedPackets(const PickedPicture& picked, QPoint at);
