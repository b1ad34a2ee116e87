#include "state/DesignFile.h"
