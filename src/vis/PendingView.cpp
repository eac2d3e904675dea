#include "PendingView.h"

#include <QLabel>
#include <QVBoxLayout>

PendingView::PendingView(int viewNumber) : VisForm(viewNumber)
{
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel("This view is not available in this build yet.", this);
    note->setAlignment(Qt::AlignCenter);
    layout->addWidget(note);
    resize(400, 300);
}
