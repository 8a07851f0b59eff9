#include "ui/window_font.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace {

const char *const kFontFiles[] = {":/fonts/LiberationSans-Regular.ttf", ":/fonts/LiberationSans-Bold.ttf"};

// Adds the built-in regular and bold faces; the family they share, or the
// system's default family should a file fail to load.
QString addBuiltInFonts()
{
    QString family;
    for (const char *file : kFontFiles) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (families.isEmpty()) {
            qWarning("Zorvelan: cannot load the built-in font %s", file);
            return QFont().defaultFamily();
        }
        family = families.first();
    }
    return family;
}

}  // namespace

QString windowFontFamily()
{
    static const QString family = addBuiltInFonts();
    return family;
}
