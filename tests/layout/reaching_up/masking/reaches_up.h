// A feature that reaches up into the shell: the layout check must refuse it.
#include "platform/operator.h"
#include "shell/mdi_form1.h"
