/* The measuring box simulated: the real firmware image run by simavr on an
 * ATmega328P at 16 MHz with AVCC at 5 V, its analogue inputs A0 and A1 held
 * at chosen voltages, its UART connected to byte queues.
 *
 * Simulated time moves only inside boxsim_run() and boxsim_read_line(), and
 * as fast as the host can simulate: whoever wants the box to keep pace with
 * the wall clock (the command-line tool) does the waiting itself. */
#ifndef BOXSIM_H
#define BOXSIM_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#define BOXSIM_CPU_HZ 16000000u
#define BOXSIM_AVCC_MV 5000
/* One simulated millisecond, in CPU cycles. */
#define BOXSIM_MS 16000u

struct boxsim;

/* Loads the firmware image (an ELF file) and starts the chip with A0 and A1
 * at the given millivolts. Returns NULL after a message on stderr when the
 * file cannot be loaded. */
struct boxsim *boxsim_open(const char *elf_path, int a0_mv, int a1_mv);
void boxsim_close(struct boxsim *box);

/* Holds analogue input 0 (A0) or 1 (A1) at mv millivolts, 0 to AVCC;
 * false, and no change, outside that range or for another channel. */
bool boxsim_set_input(struct boxsim *box, int channel, int mv);

/* Resets the chip, as its reset pin does: the firmware starts again;
 * bytes the host had sent and the box had not yet received are lost. */
void boxsim_reset(struct boxsim *box);

/* Fault injection: the next time the firmware starts a conversion, the
 * processor is held for that many cycles while the timers run on, as an
 * interrupt that takes far too long would hold it. */
void boxsim_stall_next_conversion(struct boxsim *box, uint32_t cycles);

/* Timing: from now on, the cycle at which the firmware starts each
 * conversion goes into cycles[0] to cycles[max - 1] (NULL, 0: stops);
 * boxsim_conversions_started() counts them all, those past max too. */
void boxsim_record_conversions(struct boxsim *box, uint64_t *cycles, size_t max);
size_t boxsim_conversions_started(const struct boxsim *box);

/* Queues bytes for the box's UART receiver; they arrive at the line's baud
 * rate. */
void boxsim_send(struct boxsim *box, const void *bytes, size_t count);
void boxsim_send_text(struct boxsim *box, const char *text);

/* Runs the box for at least that many cycles; false when the firmware has
 * stopped or crashed. */
bool boxsim_run(struct boxsim *box, uint64_t cycles);

/* Moves up to max bytes the box sent into out; returns their count. */
size_t boxsim_take_output(struct boxsim *box, uint8_t *out, size_t max);

/* Runs the box until it has sent a whole line, at most max_cycles; copies
 * the line without its "\n" (cut to size - 1 characters). False when no
 * line came in time. */
bool boxsim_read_line(struct boxsim *box, char *line, size_t size, uint64_t max_cycles);

uint64_t boxsim_cycle(const struct boxsim *box);

#endif
