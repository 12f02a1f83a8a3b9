/* The line protocol spoken over the USB serial port (version 1).
 *
 * The host sends lines of at most 31 characters ended by "\n" ("\r" is
 * ignored, an empty line too); the box answers each with exactly one line:
 *
 *   ID            ->  ID NELVAR-BOITIER 1 MPX5700AP   (or MPX4250AP)
 *   M 314 15700   ->  M 314 1019 <sum of A0> <sum of A1>
 *   M 1 100       ->  M 1 160000 <sum0> <sum1>
 *   X             ->  ERR 1 commande inconnue
 *   M 0 15700     ->  ERR 2 argument incorrect     (also n/f over 2 s)
 *   M 4096 20000 while a sample starts late  ->  ERR 3 echantillon en retard
 *   a 32-character line  ->  ERR 4 ligne trop longue
 *
 * The identification line is also sent once, unprompted, when the box starts. */
#ifndef PROTOCOL_H
#define PROTOCOL_H

#include <stdint.h>

#define PROTOCOL_VERSION "1"
#define PROTOCOL_MAX_LINE 31u

/* Feeds one received byte; a completed line is executed and answered. */
void protocol_feed(uint8_t byte);

/* Sends the identification line. */
void protocol_identify(void);

#endif
