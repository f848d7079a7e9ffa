#include "low/Low.h"
#include "top/base/Base_p.h"
