/*
 * Tessaly programmer plug-in interface.
 *
 * A programmer plug-in is a shared library (".so") placed in the directory of the Tessaly executables.
 * It exports the twelve C functions below; Tessaly itself contains no hardware driver, so every access to
 * a chip goes through them. This header is self-contained: a plug-in author may copy it alone.
 *
 * Conventions the host relies on:
 *  - A status is 0 for success. The host passes 1 to 4 on unchanged and reads any other value as 2; every
 *    non-zero status is a failure. Every Tessaly plug-in gives 1 to 4 these meanings:
 *      1  the chip did not answer: busy with its write cycle, not powered, absent; trying again may work;
 *      2  the request itself was wrong: unknown session or code, a null pointer, an address or value out
 *         of range, a port name that does not parse;
 *      3  PGM_Reset ended the transfer;
 *      4  the programmer or its path failed: unplugged, no permission, a file that cannot be written, a
 *         bus error, a transfer the hardware cannot do as asked.
 *  - Texts are zero-terminated 8-bit strings (UTF-8 preferred).
 *  - Before every call with an out value or an out text pointer the host sets it to 0, so a plug-in that
 *    leaves it untouched is read as "no text", "no" or 0.
 *  - Text pointers handed out by PGM_GetDescription and PGM_GetVersion stay owned by the plug-in and must
 *    stay valid while the library is loaded; the host copies the text at once and never frees it.
 *  - The host never trusts a length: a length handed back larger than the one asked for is taken as the
 *    length asked for, and a text is copied only within its buffer.
 *  - Threads: the device worker calls a session from its own thread; the user-interface thread may call
 *    PGM_Reset, PGM_SetSessionFacility(PGM_SESSION_IO_DELAY) and the global facilities at the same time,
 *    PGM_Reset even while a PGM_Read or PGM_Write of the same session runs, which it must then end.
 *  - A library may be loaded more than once in one process (the Options dialog loads a second copy to list
 *    ports), so keep every piece of state in the session, none in file-scope variables.
 */
#ifndef TESSALY_PLUGIN_INTERFACE_H
#define TESSALY_PLUGIN_INTERFACE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Facility codes of PGM_GetGlobalFacility. A query answers yes when its status is 0 and, where it gives a
 * value, the value is not 0. Codes without a value are called with a null value pointer. */
enum {
    PGM_GLOBAL_DRIVER_INSTALLED = 0,  /* value: non-zero when the driver is installed */
    PGM_GLOBAL_CAN_MANAGE_DRIVER = 1, /* no value; status 0 when the plug-in can (un)install its driver */
    PGM_GLOBAL_INSTALL_DRIVER = 2,    /* no value */
    PGM_GLOBAL_UNINSTALL_DRIVER = 3,  /* no value */
    PGM_GLOBAL_IO_DELAY_RANGE = 4,    /* no value; status 0 when the I/O delay can be adjusted */
    PGM_GLOBAL_IO_DELAY_MIN = 5,      /* value: the lowest I/O delay factor */
    PGM_GLOBAL_IO_DELAY_MAX = 6       /* value: the highest I/O delay factor */
};

/* Facility codes of PGM_GetSessionFacility (out value) and PGM_SetSessionFacility (in value). */
enum {
    PGM_SESSION_HARDWARE_IDENTIFIED = 0, /* get: non-zero when the programmer hardware is recognised */
    PGM_SESSION_HARDWARE_PLUGGED = 1,    /* get: non-zero when the hardware is connected */
    PGM_SESSION_CHIP_PRESENT = 2,        /* get: non-zero when a chip answers (asked with the chip powered) */
    PGM_SESSION_POWER = 3,               /* set: 1 chip power on, 0 off */
    PGM_SESSION_WIDE_ADDRESSING = 4,     /* set: 1 for 16-bit I2C word addresses, 0 for 8-bit */
    PGM_SESSION_BLOCK_SIZE = 6,          /* get: transfer block size in bytes (a page); 0 means 1 */
    PGM_SESSION_IO_DELAY = 7             /* set: the I/O delay factor */
};

/* Sets *description to a one-line description of the plug-in, or leaves it 0. The status is ignored; a
 * plug-in without a description is not offered to the user. */
int32_t PGM_GetDescription(const char** description);

/* On status 0 with *version not 0: the plug-in's version line. */
int32_t PGM_GetVersion(const char** version);

/* Writes the port names, each zero-terminated, one after another into buffer (at most size bytes) and
 * returns the number of bytes used. The host reads only within buffer. */
int32_t PGM_EnumeratePorts(char* buffer, uint32_t size);

/* A global facility query or action; see the PGM_GLOBAL_ codes. */
int32_t PGM_GetGlobalFacility(uint32_t code, uint32_t* value);

/* A session facility query: on status 0, *value holds the answer. */
int32_t PGM_GetSessionFacility(uint32_t session, uint32_t code, uint32_t* value);

/* A session facility setting. */
int32_t PGM_SetSessionFacility(uint32_t session, uint32_t code, uint32_t value);

/* Opens a session on the named port (as PGM_EnumeratePorts lists it); returns its handle, 0 on failure.
 * The host calls PGM_Reset on a new session at once. */
uint32_t PGM_Attach(const char* port);

/* Closes the session; the handle is not used again after status 0. */
int32_t PGM_Detach(uint32_t session);

/* On status 0: the firmware text in buffer. *length is the buffer's size on entry and the text's length
 * (without the terminator) on return. */
int32_t PGM_GetFirmware(uint32_t session, char* buffer, uint32_t* length);

/* Resets the programmer. May come from another thread while a transfer of the session runs; that
 * transfer must then end promptly (with a failure status). */
int32_t PGM_Reset(uint32_t session);

/* Reads *length consecutive device bytes from address into buffer; on return *length is the number of
 * bytes read. A transfer never crosses a block (page) boundary. A chip busy with its write cycle answers
 * with a failure and *length 0, and the host tries again. */
int32_t PGM_Read(uint32_t session, uint32_t address, uint8_t* buffer, uint32_t* length);

/* Writes *length consecutive device bytes from buffer to address; on return *length is the number of
 * bytes written. A transfer never crosses a block (page) boundary. */
int32_t PGM_Write(uint32_t session, uint32_t address, const uint8_t* buffer, uint32_t* length);

#ifdef __cplusplus
}
#endif

#endif /* TESSALY_PLUGIN_INTERFACE_H */
