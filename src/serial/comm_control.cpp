#include "serial/comm_control.h"
// Implemented with the serial port work.
