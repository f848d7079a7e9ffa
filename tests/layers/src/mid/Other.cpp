#include "nowhere/X.h"
