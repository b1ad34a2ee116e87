#include "state/SafeFile.h"
