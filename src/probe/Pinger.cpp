#include "probe/Pinger.h"
