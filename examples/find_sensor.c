/* Finds the alarm sensor on COM1 to COM16 and prints one status block.
 * Build against an installed libzeko:  cc find_sensor.c $(pkg-config --cflags --libs zeko) */
#include <stdio.h>
#include <string.h>
#include <zeko_api.h>

enum { IDENTITY = 19281, BAUD_RATE = 115200, STATUS_COMMAND = 10, STATUS_LENGTH = 15 };

static float FloatFromBits(int bits) {
    float value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

int main(void) {
    int port;
    int result = ZEKO_NO_PORT;
    unsigned char status[STATUS_LENGTH];

    for (port = 1; port <= 16; ++port) {
        result = ZEKO_initial(port, IDENTITY, BAUD_RATE);
        if (result == ZEKO_OK) break;
    }
    if (result != ZEKO_OK) {
        fprintf(stderr, "no sensor on COM1 to COM16 (last result %d)\n", result);
        return 1;
    }
    printf("sensor on COM%d\n", port);

    result = ZEKO_super_command(STATUS_COMMAND, 0, STATUS_LENGTH, NULL, status);
    if (result != ZEKO_OK) {
        fprintf(stderr, "status block failed (result %d)\n", result);
        return 1;
    }
    printf("vibration %.2f G\n", FloatFromBits(ReadBE32(status)));
    printf("movement %d degrees/s\n", (short)ReadBE16(status + 4));
    printf("temperature %d C\n", status[6]);
    printf("alarm flags 0x%02X\n", status[7]);
    printf("learned vibration %.2f G, learned movement %d degrees/s\n",
           FloatFromBits(ReadBE32(status + 8)), (short)ReadBE16(status + 12));
    printf("alarm records %d\n", status[14]);
    ZEKO_close();
    return 0;
}
