#include "send/single_send.h"

void SingleSend::optS_Click(int) {
}
