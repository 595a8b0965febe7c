#include "conclusion/save.h"

#include "platform/paths.h"

namespace conclusion {

QString proposedName(int mode, const QString &surname)
{
    switch (mode) {
    case 1:
        return platform::paths::kCaption;
    case 2:
        return platform::paths::kSignature;
    default:
        return surname;
    }
}

} // namespace conclusion
