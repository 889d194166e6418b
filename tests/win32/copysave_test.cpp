#include "windowdriver.h"
