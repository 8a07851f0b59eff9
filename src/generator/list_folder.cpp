#include "generator/list_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {
// Permission bits do not tell: root passes them everywhere, yet cannot create
// files on a read-only mount or in /proc. So try it; the probe leaves nothing.
bool canCreateFilesIn(const QString &folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".zorvelan-XXXXXX")));
    return probe.open();
}
}  // namespace

QString chooseListFolder(const QString &programFolder, const QString &documentsFolder)
{
    if (canCreateFilesIn(programFolder))
        return programFolder;
    QDir().mkpath(documentsFolder);
    return documentsFolder;
}

QString listFileFolder()
{
    return chooseListFolder(QCoreApplication::applicationDirPath(),
                            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}
