#include "common/Globals.h"

bool RICHIESTA = false;
int READY = 0;
