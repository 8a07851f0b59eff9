#pragma once

#include <QString>

// The folder that receives list files: the program's own folder when files
// can be created there (as when it runs from its build folder), otherwise the
// user's documents folder (as when it is installed in a system folder).
QString listFileFolder();

// The same choice between any two folders. The documents folder is created
// when it is chosen and missing.
QString chooseListFolder(const QString &programFolder, const QString &documentsFolder);
