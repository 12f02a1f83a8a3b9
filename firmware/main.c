/* Firmware of the USB measuring box: announces itself, then answers the
 * host's command lines one by one. All timing-critical work happens in the
 * interrupts of the sampler and the UART; this loop sleeps between them. */
#include "board.h"
#include "protocol.h"
#include "sampler.h"
#include "uart.h"

#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/sleep.h>
#include <avr/wdt.h>

int main(void)
{
	/* A bootloader that left the watchdog running would reset the box
	 * every few milliseconds: it is switched off first. */
	MCUSR = 0;
	wdt_disable();
	set_sleep_mode(SLEEP_MODE_IDLE);
	uart_init();
	sampler_init();
	sei();
	protocol_identify();

	for (;;) {
		uint8_t byte;
		cli();
		while (!uart_getc(&byte)) {
			board_sleep_until_interrupt();
		}
		sei();
		protocol_feed(byte);
	}
}
