#include "uart.h"

#include "board.h"

#include <avr/interrupt.h>
#include <avr/sleep.h>
#include <util/atomic.h>

/* Ring sizes are powers of two so an index wraps with a mask. A line from
 * the host is at most 32 bytes; the receive ring holds two. */
#define RX_SIZE 64u
#define TX_SIZE 64u

static volatile uint8_t rx_ring[RX_SIZE];
static volatile uint8_t rx_head, rx_tail;
static volatile uint8_t tx_ring[TX_SIZE];
static volatile uint8_t tx_head, tx_tail;

void uart_init(void)
{
	/* simavr fixes the baud rate when UBRR0 is written, and the real chip
	 * uses U2X0 from the next frame: set the double-speed bit first. */
	UCSR0A = _BV(U2X0);
	UBRR0 = BOARD_UBRR;
	UCSR0C = _BV(UCSZ01) | _BV(UCSZ00); /* 8N1 */
	UCSR0B = _BV(RXEN0) | _BV(TXEN0) | _BV(RXCIE0);
}

ISR(USART_RX_vect)
{
	uint8_t byte = UDR0;
	uint8_t next = (uint8_t)((rx_head + 1u) & (RX_SIZE - 1u));
	if (next != rx_tail) { /* a full ring drops the byte */
		rx_ring[rx_head] = byte;
		rx_head = next;
	}
}

ISR(USART_UDRE_vect)
{
	if (tx_tail == tx_head) {
		UCSR0B &= (uint8_t)~_BV(UDRIE0);
		return;
	}
	UDR0 = tx_ring[tx_tail];
	tx_tail = (uint8_t)((tx_tail + 1u) & (TX_SIZE - 1u));
}

bool uart_getc(uint8_t *byte)
{
	if (rx_tail == rx_head)
		return false;
	*byte = rx_ring[rx_tail];
	rx_tail = (uint8_t)((rx_tail + 1u) & (RX_SIZE - 1u));
	return true;
}

/* Sleeps until an interrupt, unless the condition to wait for already
 * holds; interrupts stay off between the test and the sleep so a wake-up
 * cannot be missed. */
static void sleep_while_ring_full(uint8_t next)
{
	cli();
	while (next == tx_tail) {
		board_sleep_until_interrupt();
	}
	sei();
}

void uart_putc(uint8_t byte)
{
	uint8_t next = (uint8_t)((tx_head + 1u) & (TX_SIZE - 1u));
	sleep_while_ring_full(next);
	tx_ring[tx_head] = byte;
	tx_head = next;
	ATOMIC_BLOCK(ATOMIC_RESTORESTATE)
	{
		UCSR0B |= _BV(UDRIE0);
	}
}

void uart_puts(const char *text)
{
	while (*text)
		uart_putc((uint8_t)*text++);
}
