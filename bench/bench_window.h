#pragma once

#include <QCoreApplication>
#include <QString>

#include "ui/form1.h"

namespace bench {

// Shows the window for a section that drives it: list files go to `folder`,
// none opens in a viewer, and closing it ends nothing.
inline void showWindow(Form1 &form, const QString &folder)
{
    form.endProgram = [] {};
    form.listFolder = folder;
    form.openInViewer = [](const QString &) {};
    form.show();
    QCoreApplication::processEvents();
}

}  // namespace bench
