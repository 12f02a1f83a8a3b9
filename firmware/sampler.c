#include "sampler.h"

#include "board.h"

#include <avr/interrupt.h>
#include <avr/sleep.h>

/* State shared with the two interrupts of a reading. */
static volatile uint16_t remaining; /* pairs still to start */
static volatile bool running;       /* a reading is in progress */
static volatile bool converting;    /* a pair's conversions are under way */
static volatile bool late;
static volatile uint16_t late_ticks; /* SAMPLER_LATE_CYCLES in timer ticks */
static volatile uint32_t sum0, sum1;

static void stop_timer(void)
{
	TCCR1B = 0;
	TIMSK1 = 0;
}

void sampler_init(void)
{
	DIDR0 = BOARD_ADC_DIGITAL_OFF;
	ADMUX = BOARD_ADMUX_A0;
	ADCSRA = _BV(ADEN) | BOARD_ADC_PRESCALER | _BV(ADSC);
	while (ADCSRA & _BV(ADSC))
		;
	(void)ADC;
	ADCSRA = _BV(ADEN) | _BV(ADIF) | BOARD_ADC_PRESCALER | _BV(ADIE);
}

uint32_t sampler_period_cycles(uint16_t hz)
{
	uint32_t cycles = (BOARD_CPU_HZ + hz / 2u) / hz;
	if (cycles > 65536u)
		cycles = 8u * ((BOARD_CPU_HZ / 8u + hz / 2u) / hz);
	return cycles;
}

/* Timer1 compare match: the start of a period, when a pair begins with the
 * A0 conversion. */
ISR(TIMER1_COMPA_vect)
{
	if (converting) {
		late = true;
	} else {
		ADCSRA |= _BV(ADSC);
		converting = true;
		if (TCNT1 > late_ticks)
			late = true;
	}
	if (late || --remaining == 0)
		stop_timer();
	if (late)
		running = false;
}

/* End of a conversion: A0's starts A1's, A1's ends the pair. The result is
 * read before the multiplexer moves on (simavr also computes it when ADCL is
 * read, from the channel selected then). */
ISR(ADC_vect)
{
	uint16_t value = ADC;
	if (!running) {
		converting = false;
		ADMUX = BOARD_ADMUX_A0;
		return;
	}
	if ((ADMUX & 0x0Fu) == 0u) {
		sum0 += value;
		ADMUX = BOARD_ADMUX_A1;
		ADCSRA |= _BV(ADSC);
	} else {
		sum1 += value;
		ADMUX = BOARD_ADMUX_A0;
		converting = false;
		if (remaining == 0)
			running = false;
	}
}

void sampler_measure(uint16_t count, uint16_t hz, struct sampler_result *out)
{
	uint32_t cycles = sampler_period_cycles(hz);
	uint8_t clock = BOARD_T1_CLK_1;
	uint32_t ticks = cycles;
	uint16_t late_limit = SAMPLER_LATE_CYCLES;
	if (cycles > 65536u) {
		clock = BOARD_T1_CLK_8;
		ticks = cycles / 8u;
		late_limit = SAMPLER_LATE_CYCLES / 8u;
	}

	/* A conversion left from an abandoned reading ends first. */
	cli();
	while (converting) {
		board_sleep_until_interrupt();
	}
	remaining = count;
	sum0 = 0;
	sum1 = 0;
	late = false;
	late_ticks = late_limit;
	running = true;
	ADMUX = BOARD_ADMUX_A0;
	TCCR1A = 0;
	TCCR1B = BOARD_T1_CTC; /* stopped, in CTC mode before TOP is written */
	OCR1A = (uint16_t)(ticks - 1u);
	TCNT1 = 0;
	TIFR1 = _BV(OCF1A);
	TIMSK1 = _BV(OCIE1A);
	TCCR1B = BOARD_T1_CTC | clock;

	/* Asleep in idle mode the timer and the ADC run on; every interrupt
	 * wakes the loop, which goes back to sleep until the reading ends. */
	while (running) {
		board_sleep_until_interrupt();
	}
	sei();

	out->cycles = cycles;
	out->sum0 = sum0;
	out->sum1 = sum1;
	out->late = late;
}
