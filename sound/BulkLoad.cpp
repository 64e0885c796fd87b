// Bulk load of the base sound set.
#include "app/Serial1.h"

void TSerialForm1::StopBulkLoad() {}
