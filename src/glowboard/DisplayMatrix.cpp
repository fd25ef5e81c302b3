#include "glowboard/DisplayMatrix.h"
