#include "top/base/Base_p.h"
