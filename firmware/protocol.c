#include "protocol.h"

#include "board.h"
#include "sampler.h"
#include "uart.h"

#include <stdbool.h>
#include <stdlib.h>

static char line[PROTOCOL_MAX_LINE + 1];
static uint8_t length;
static bool too_long;

static void send_error(char code, const char *words)
{
	uart_puts("ERR ");
	uart_putc((uint8_t)code);
	uart_putc(' ');
	uart_puts(words);
	uart_putc('\n');
}

static void send_number(uint32_t value)
{
	char text[11];
	uart_putc(' ');
	uart_puts(ultoa(value, text, 10));
}

void protocol_identify(void)
{
	uart_puts("ID NELVAR-BOITIER " PROTOCOL_VERSION " " BOARD_SENSOR "\n");
}

/* Reads an unsigned decimal number of at most five digits at *cursor,
 * after exactly one space; false when there is none. */
static bool parse_number(const char **cursor, uint32_t *value)
{
	const char *p = *cursor;
	if (*p != ' ')
		return false;
	++p;
	uint8_t digits = 0;
	uint32_t result = 0;
	while (*p >= '0' && *p <= '9') {
		if (++digits > 5)
			return false;
		result = result * 10u + (uint32_t)(*p - '0');
		++p;
	}
	if (digits == 0)
		return false;
	*cursor = p;
	*value = result;
	return true;
}

static void measure(const char *arguments)
{
	uint32_t count, hz;
	if (!parse_number(&arguments, &count) || !parse_number(&arguments, &hz) || *arguments != '\0' ||
	    count < SAMPLER_MIN_COUNT || count > SAMPLER_MAX_COUNT || hz < SAMPLER_MIN_HZ ||
	    hz > SAMPLER_MAX_HZ || count > SAMPLER_MAX_SECONDS * hz) {
		send_error('2', "argument incorrect");
		return;
	}
	struct sampler_result result;
	sampler_measure((uint16_t)count, (uint16_t)hz, &result);
	if (result.late) {
		send_error('3', "echantillon en retard");
		return;
	}
	uart_putc('M');
	send_number(count);
	send_number(result.cycles);
	send_number(result.sum0);
	send_number(result.sum1);
	uart_putc('\n');
}

/* The command word ends at the first space or at the end of the line. */
static bool command_is(const char *word, const char **arguments)
{
	const char *p = line;
	while (*word && *p == *word) {
		++p;
		++word;
	}
	if (*word || (*p != ' ' && *p != '\0'))
		return false;
	*arguments = p;
	return true;
}

static void execute(void)
{
	const char *arguments;
	if (command_is("ID", &arguments)) {
		if (*arguments != '\0')
			send_error('2', "argument incorrect");
		else
			protocol_identify();
	} else if (command_is("M", &arguments)) {
		measure(arguments);
	} else {
		send_error('1', "commande inconnue");
	}
}

void protocol_feed(uint8_t byte)
{
	if (byte == '\r')
		return;
	if (byte != '\n') {
		if (length < PROTOCOL_MAX_LINE)
			line[length++] = (char)byte;
		else
			too_long = true;
		return;
	}
	line[length] = '\0';
	if (too_long)
		send_error('4', "ligne trop longue");
	else if (length > 0)
		execute();
	length = 0;
	too_long = false;
}
