#include "resources.h"

#include <QtGlobal>

void initIsostepResources()
{
    Q_INIT_RESOURCE(isostep);
}
