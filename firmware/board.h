/* The measuring box's hardware: an ATmega328P at 16 MHz on a Uno or Nano
 * board, the pressure sensor's output on A0, a second input on A1, the USB
 * serial chip on the UART. Every register choice the firmware makes is
 * gathered here. */
#ifndef BOARD_H
#define BOARD_H

#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/sleep.h>

#define BOARD_CPU_HZ 16000000UL

/* The sensor is chosen when the firmware is built and named in the
 * identification line, so the program knows which conversion to use. */
#if defined(SENSOR_MPX5700AP)
#define BOARD_SENSOR "MPX5700AP"
#elif defined(SENSOR_MPX4250AP)
#define BOARD_SENSOR "MPX4250AP"
#else
#error "build with -DSENSOR_MPX5700AP or -DSENSOR_MPX4250AP"
#endif

/* UART: 38400 baud with the double-speed bit, UBRR0 = 16 MHz / (8 x 38400) - 1
 * rounded = 51, 38461.5 baud (+0.16 %). The Uno's 16U2 derives the same
 * divisor from its own 16 MHz; the CH340's and FTDI's dividers make 38400
 * exactly: 0.16 % apart, far under the 2 % an 8N1 frame tolerates. */
#define BOARD_UBRR 51u

/* ADC: AVCC reference (the sensor is ratiometric to the same 5 V), right
 * adjusted result. The ADC clock is CPU/16 = 1 MHz, 13 clocks = 208 CPU cycles
 * a conversion: a pair of conversions plus three short interrupts fits the
 * 800-cycle period of the fastest rate (20 kHz) and the program's 1019 cycles
 * (15 700 Hz). At CPU/32 the pair alone takes 832 cycles and, since a
 * started conversion waits for the next ADC clock edge, no longer fits 1019
 * once the interrupts are counted. The datasheet's accuracy is given for
 * 50-200 kHz; a 1 MHz clock costs some linearity, which the averaging of
 * hundreds of samples does not undo but keeps well under the sensor's own
 * error. */
#define BOARD_ADMUX_A0 (_BV(REFS0) | 0u)
#define BOARD_ADMUX_A1 (_BV(REFS0) | 1u)
#define BOARD_ADC_PRESCALER (_BV(ADPS2)) /* CPU/16 */
#define BOARD_ADC_DIGITAL_OFF (_BV(ADC0D) | _BV(ADC1D))

/* Timer1 in CTC mode (WGM12) paces the samples: one compare match A per
 * period. Periods up to 65536 cycles run at the CPU clock; longer ones (rates
 * below 245 Hz) with the /8 prescaler. */
#define BOARD_T1_CTC _BV(WGM12)
#define BOARD_T1_CLK_1 _BV(CS10)
#define BOARD_T1_CLK_8 _BV(CS11)

/* Sleeps until the next interrupt. Called with interrupts off, right after
 * the test of what is waited for: SEI takes effect only after the following
 * instruction, the SLEEP, so an interrupt arriving after the test still wakes
 * the processor. Returns with interrupts off again, ready for the next test. */
static inline void board_sleep_until_interrupt(void)
{
	sleep_enable();
	sei();
	sleep_cpu();
	sleep_disable();
	cli();
}

#endif
