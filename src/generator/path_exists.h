#pragma once

#include <QString>

// True when a file or a folder exists at `path`; false on any failure to tell.
bool PathExists(const QString &path);
