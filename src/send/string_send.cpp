#include "send/string_send.h"

void StringSend::cmdSend_Click() {
}
