/* The timed, averaged reading: n samples of A0 and of A1, one pair per
 * Timer1 period, summed. */
#ifndef SAMPLER_H
#define SAMPLER_H

#include <stdbool.h>
#include <stdint.h>

#define SAMPLER_MIN_COUNT 1u
#define SAMPLER_MAX_COUNT 4096u
#define SAMPLER_MIN_HZ 100u
#define SAMPLER_MAX_HZ 20000u
#define SAMPLER_MAX_SECONDS 2u

/* A sample starts late when its A0 conversion is started more than this
 * many CPU cycles after the Timer1 compare match (10 us: an interrupt of the
 * UART takes well under half), or when the period ends while the previous
 * pair is still converting. */
#define SAMPLER_LATE_CYCLES 160u

struct sampler_result {
	uint32_t cycles; /* the period used, in CPU cycles */
	uint32_t sum0, sum1;
	bool late; /* the reading was abandoned: its sums mean nothing */
};

/* Enables the ADC and runs its longer first conversion, so that every
 * conversion of a reading takes the same 13 ADC clocks. */
void sampler_init(void);

/* The Timer1 period for a rate: round(16 MHz / hz) cycles, a multiple of 8
 * when it exceeds Timer1's 16 bits (rates below 245 Hz). */
uint32_t sampler_period_cycles(uint16_t hz);

/* Runs one reading (asleep between interrupts) and returns when it is done
 * or abandoned. The arguments must be within the limits above. */
void sampler_measure(uint16_t count, uint16_t hz, struct sampler_result *out);

#endif
