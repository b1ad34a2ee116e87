#include "state/EngineeringText.h"
