#include "common/Globals.h"

int ADDRESS = 0;
bool RICHIESTA = false;
int READY = 0;
