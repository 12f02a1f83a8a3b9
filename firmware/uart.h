/* Interrupt-driven UART: the receive interrupt moves each byte into a ring
 * buffer, the data-register-empty interrupt moves bytes out of another. */
#ifndef UART_H
#define UART_H

#include <stdbool.h>
#include <stdint.h>

void uart_init(void);

/* Takes one received byte; false when none is waiting. */
bool uart_getc(uint8_t *byte);

/* Queues one byte, waiting (asleep) while the transmit ring is full. */
void uart_putc(uint8_t byte);
void uart_puts(const char *text);

#endif
