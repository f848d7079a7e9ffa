#include "top/upper/Upper_p.h"
