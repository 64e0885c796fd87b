#include "sound/JournalledOperation.h"
