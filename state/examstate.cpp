#include "state/examstate.h"

namespace state {

void setStartValues()
{
    CardIndexDirty = 0;
    CardTakenOut = 0;
}

void clearAll()
{
    CardIndexDirty = 0;
    CardTakenOut = 0;
}

} // namespace state
