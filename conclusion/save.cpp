#include "conclusion/save.h"

#include "platform/paths.h"
#include "platform/textfile.h"

namespace conclusion {

QString proposedName(int mode, const QString &surname)
{
    switch (mode) {
    case 1:
        return paths::kCaption;
    case 2:
        return paths::kSignature;
    default:
        return surname;
    }
}

bool saveDisplayedLines(const QString &path, const QStringList &displayedLines, QString *error)
{
    return textfile::writeLines(path, displayedLines, error);
}

} // namespace conclusion
