#include "ui/twips.h"
