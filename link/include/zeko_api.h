/* libzeko: the alarm sensor's link library. Six functions, usable from C and C++.
 *
 * Every function returns a plain int result code, 0 for success; nothing else reports errors.
 * Ports are named by number: port 3 is COM3 (see the README for how COM names map to devices).
 * Calls are synchronous and serialised by one access lock; they may be made from any thread.
 *
 * Late replies: a reply that comes after its call gave up is dropped if it arrives while no call
 * is waiting (each call discards what arrived before it sent its request). One that arrives after
 * a later call sent its request can be taken as that call's reply, since replies carry no
 * sequence number: a parameter reply names its parameter, so a first attempt takes only a reply
 * for the parameter asked (see ZEKO_get and ZEKO_set for the second); a block reply names
 * nothing, so a late reply to the same command is taken as this call's, and late bytes of
 * another command's reply are taken as the start of this one's.
 */
#ifndef ZEKO_API_H
#define ZEKO_API_H

#ifdef __cplusplus
extern "C" {
#endif

/* On Windows the functions live in zeko.dll under their plain names and use the C calling
 * convention (__cdecl, caller pops; on x64 it is the one Windows convention). A program that
 * links the static library instead defines ZEKO_STATIC. */
#if defined(_WIN32)
#if defined(ZEKO_BUILDING)
#define ZEKO_EXPORT __declspec(dllexport)
#elif defined(ZEKO_STATIC)
#define ZEKO_EXPORT
#else
#define ZEKO_EXPORT __declspec(dllimport)
#endif
#define ZEKO_CALL __cdecl
#elif defined(__GNUC__)
#define ZEKO_EXPORT __attribute__((visibility("default")))
#define ZEKO_CALL
#else
#define ZEKO_EXPORT
#define ZEKO_CALL
#endif

/* Result codes of the library. A sensor's own codes (the result of a parameter write, the status
 * bytes of a block reply) are passed through unchanged and share this number space. */
enum {
    ZEKO_OK = 0,
    ZEKO_BAD_ARGUMENT = 1,    /* ZEKO_initial: baud rate; ZEKO_super_command: lengths, command */
    ZEKO_NOT_READY = 8,       /* no verified connection (or lost, 41) */
    ZEKO_NO_PORT = 9,         /* the port cannot be opened */
    ZEKO_NO_ANSWER = 10,      /* the identity could not be read */
    ZEKO_WRONG_IDENTITY = 12, /* another device answered */
    ZEKO_NO_LOCK = 31,        /* no link open; for ZEKO_super_command also: no reply in time */
    ZEKO_LOCK_BUSY = -3,      /* another call held the link for 2600 ms */
    ZEKO_WRONG_REPLY = 40,    /* a value where an acknowledgement was due, or the reverse */
    ZEKO_LINK_LOST = 41,      /* no reply twice: the link is marked lost */
    ZEKO_MALFORMED = 42,      /* malformed reply (ZEKO_set: also another parameter's answer) */
    ZEKO_GET_TEXT = 43,       /* ZEKO_get: the sensor answered with a text */
    ZEKO_SET_TEXT = 44        /* ZEKO_set: the sensor answered with a text */
};

/* Opens COM<port> at baudRate (9600, 19200, 38400, 57600 or 115200) and checks that parameter 8
 * of the device equals id. 0 connected; 1 bad baud rate; 9 no such port; 10 no valid answer
 * (port closed); 12 another identity (port left open); -3 another call held the link. */
ZEKO_EXPORT int ZEKO_CALL ZEKO_initial(int port, long id, long baudRate);

/* Closes the port and discards the access lock. 0 done; 31 nothing open; -3 lock busy. */
ZEKO_EXPORT int ZEKO_CALL ZEKO_close(void);

/* Marks the link usable again after a lost link (41) without a new identity check. Always 0. */
ZEKO_EXPORT int ZEKO_CALL ZEKO_reconnect(void);

/* Reads parameter param into *value (0 stored on every failure): a value reply for param at the
 * first attempt, else any value reply at the second. 0 done; 8 not connected;
 * 31 no lock; -3 lock busy; 40 acknowledgement instead of a value; 41 no reply (link lost);
 * 42 malformed reply; 43 error text instead of a value. */
ZEKO_EXPORT int ZEKO_CALL ZEKO_get(int param, long* value);

/* Writes value (its low 32 bits) to parameter param; the first attempt ends on an acknowledgement
 * for param or on any refusal code, the second takes only an acknowledgement for param.
 * 0 accepted; 8, 31, -3 as for ZEKO_get;
 * 40 value reply instead of an acknowledgement; 41 no reply (link lost); 42 malformed reply or
 * an acknowledgement for another parameter; 44 error text; any other value is the sensor's own
 * result code for the write. */
ZEKO_EXPORT int ZEKO_CALL ZEKO_set(int param, long value);

/* Sends block command `command` (0 to 255) with payloadLength (0 to 96) bytes of payload and
 * expects replyLength (0 to 98) data bytes, copied to reply. 0 done; 1 arguments refused (nothing
 * sent); 8, 31, -3 as for ZEKO_get; 31 also for no reply; otherwise the reply's nonzero status
 * byte (the data are copied when only the command status byte is nonzero). */
ZEKO_EXPORT int ZEKO_CALL ZEKO_super_command(unsigned int command, int payloadLength,
                                             int replyLength, const unsigned char* payload,
                                             unsigned char* reply);

/* Big-endian field readers for reply data: most significant byte first, bytes unsigned. A 32-bit
 * field that carries a float is that float's bit pattern. */
static inline int ReadBE32(const unsigned char* bytes) {
    return (int)(((unsigned int)bytes[0] << 24) | ((unsigned int)bytes[1] << 16) |
                 ((unsigned int)bytes[2] << 8) | (unsigned int)bytes[3]);
}

static inline int ReadBE16(const unsigned char* bytes) {
    return (int)(((unsigned int)bytes[0] << 8) | (unsigned int)bytes[1]);
}

#ifdef __cplusplus
}
#endif

#endif /* ZEKO_API_H */
