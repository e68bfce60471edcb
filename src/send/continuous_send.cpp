#include "send/continuous_send.h"

void ContinuousSend::cmdSendC_Click() {
}
void ContinuousSend::cmdStopC_Click() {
}
