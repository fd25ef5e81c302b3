#include <gtest/gtest.h>

#include "theory/Notes.h"

using namespace strumox::theory;
