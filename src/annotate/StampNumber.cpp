#include "annotate/StampNumber.h"

std::int32_t StampNumber = 1;
