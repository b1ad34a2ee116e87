#include "state/NumberText.h"
