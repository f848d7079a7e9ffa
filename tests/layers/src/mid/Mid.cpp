#include "low/Low_p.h"
