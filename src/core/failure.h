#pragma once
// The failure type lives beside the platform interfaces that throw it.
#include "platform/failure.h"
