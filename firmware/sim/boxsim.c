#include "boxsim.h"

#include <avr_adc.h>
#include <avr_uart.h>
#include <sim_avr.h>
#include <sim_elf.h>
#include <sim_irq.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* Host-to-box bytes waiting for room in the UART's receive queue, and
 * box-to-host bytes waiting to be taken. Power-of-two rings. */
#define IN_SIZE 1024u
#define OUT_SIZE 4096u

struct boxsim {
	avr_t *avr;
	avr_irq_t *uart_irq; /* UART 0: INPUT, OUTPUT, XON, XOFF */
	avr_irq_t *adc_irq;
	bool xoff;
	uint32_t stall_cycles;
	uint64_t *starts; /* boxsim_record_conversions */
	size_t starts_max, starts_count;

	uint8_t in[IN_SIZE];
	size_t in_head, in_tail;
	uint8_t out[OUT_SIZE];
	size_t out_head, out_tail;
};

/* simavr prints its messages on stdout, which belongs to the tool's user:
 * its errors go to stderr, the rest nowhere (its warnings include one for
 * every OCR1A write while Timer1 is stopped, which the firmware does at
 * each reading). */
static void log_to_stderr(avr_t *avr, const int level, const char *format, va_list arguments)
{
	(void)avr;
	if (level <= LOG_ERROR)
		vfprintf(stderr, format, arguments);
}

/* simavr's own sleep waits for the wall clock; the box's users pace it. */
static void sleep_not(avr_t *avr, avr_cycle_count_t how_long)
{
	(void)avr;
	(void)how_long;
}

static void feed_uart(struct boxsim *box)
{
	while (!box->xoff && box->in_tail != box->in_head) {
		uint8_t byte = box->in[box->in_tail];
		box->in_tail = (box->in_tail + 1u) & (IN_SIZE - 1u);
		avr_raise_irq(box->uart_irq + UART_IRQ_INPUT, byte);
	}
}

static void on_uart_output(avr_irq_t *irq, uint32_t value, void *param)
{
	(void)irq;
	struct boxsim *box = param;
	size_t next = (box->out_head + 1u) & (OUT_SIZE - 1u);
	if (next == box->out_tail) /* nobody is reading: the oldest byte goes */
		box->out_tail = (box->out_tail + 1u) & (OUT_SIZE - 1u);
	box->out[box->out_head] = (uint8_t)value;
	box->out_head = next;
}

static void on_uart_xon(avr_irq_t *irq, uint32_t value, void *param)
{
	(void)irq;
	(void)value;
	struct boxsim *box = param;
	box->xoff = false;
	feed_uart(box);
}

static void on_uart_xoff(avr_irq_t *irq, uint32_t value, void *param)
{
	(void)irq;
	struct boxsim *box = param;
	box->xoff = value != 0;
}

/* Raised when the firmware starts a conversion, before simavr schedules its
 * end: moving the clock on here holds the processor and delays the end. */
static void on_conversion_start(avr_irq_t *irq, uint32_t value, void *param)
{
	(void)irq;
	(void)value;
	struct boxsim *box = param;
	if (box->starts_count < box->starts_max)
		box->starts[box->starts_count] = box->avr->cycle;
	++box->starts_count;
	if (box->stall_cycles) {
		box->avr->cycle += box->stall_cycles;
		box->stall_cycles = 0;
	}
}

static bool load_firmware(avr_t **avr_out, const char *elf_path)
{
	elf_firmware_t *firmware = calloc(1, sizeof *firmware);
	if (!firmware || elf_read_firmware(elf_path, firmware) != 0) {
		fprintf(stderr, "cannot load the firmware image %s\n", elf_path);
		free(firmware);
		return false;
	}
	avr_t *avr = avr_make_mcu_by_name("atmega328p");
	if (!avr) {
		fprintf(stderr, "simavr does not know the atmega328p\n");
		free(firmware->flash);
		free(firmware);
		return false;
	}
	avr_init(avr);
	firmware->frequency = BOXSIM_CPU_HZ;
	firmware->vcc = BOXSIM_AVCC_MV;
	firmware->avcc = BOXSIM_AVCC_MV; /* unset, simavr would take 3.3 V */
	firmware->aref = BOXSIM_AVCC_MV;
	avr_load_firmware(avr, firmware);

	/* avr_load_firmware copied the code; the reader's buffers are ours. */
	free(firmware->flash);
	free(firmware->eeprom);
	free(firmware->fuse);
	free(firmware->lockbits);
#if ELF_SYMBOLS
	for (uint32_t i = 0; i < firmware->symbolcount; ++i)
		free(firmware->symbol[i]);
	free(firmware->symbol);
#endif
	free(firmware);
	*avr_out = avr;
	return true;
}

struct boxsim *boxsim_open(const char *elf_path, int a0_mv, int a1_mv)
{
	struct boxsim *box = calloc(1, sizeof *box);
	if (!box)
		return NULL;
	avr_global_logger_set(log_to_stderr);
	if (!load_firmware(&box->avr, elf_path)) {
		free(box);
		return NULL;
	}
	box->avr->sleep = sleep_not;

	uint32_t flags = 0; /* no console echo, no sleeping on polled reads */
	avr_ioctl(box->avr, AVR_IOCTL_UART_SET_FLAGS('0'), &flags);
	box->uart_irq = avr_io_getirq(box->avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_INPUT);
	avr_irq_register_notify(box->uart_irq + UART_IRQ_OUTPUT, on_uart_output, box);
	avr_irq_register_notify(box->uart_irq + UART_IRQ_OUT_XON, on_uart_xon, box);
	avr_irq_register_notify(box->uart_irq + UART_IRQ_OUT_XOFF, on_uart_xoff, box);

	box->adc_irq = avr_io_getirq(box->avr, AVR_IOCTL_ADC_GETIRQ, 0);
	avr_irq_register_notify(box->adc_irq + ADC_IRQ_OUT_TRIGGER, on_conversion_start, box);
	if (!boxsim_set_input(box, 0, a0_mv) || !boxsim_set_input(box, 1, a1_mv)) {
		fprintf(stderr, "input voltages must be 0 to %d mV\n", BOXSIM_AVCC_MV);
		boxsim_close(box);
		return NULL;
	}
	return box;
}

void boxsim_close(struct boxsim *box)
{
	if (!box)
		return;
	avr_terminate(box->avr); /* frees the chip's memories */
	free(box->avr);
	free(box);
}

bool boxsim_set_input(struct boxsim *box, int channel, int mv)
{
	if ((channel != 0 && channel != 1) || mv < 0 || mv > BOXSIM_AVCC_MV)
		return false;
	avr_raise_irq(box->adc_irq + ADC_IRQ_ADC0 + channel, (uint32_t)mv);
	return true;
}

void boxsim_reset(struct boxsim *box)
{
	box->in_tail = box->in_head;
	box->stall_cycles = 0;
	avr_reset(box->avr);
}

void boxsim_stall_next_conversion(struct boxsim *box, uint32_t cycles)
{
	box->stall_cycles = cycles;
}

void boxsim_record_conversions(struct boxsim *box, uint64_t *cycles, size_t max)
{
	box->starts = cycles;
	box->starts_max = cycles ? max : 0;
	box->starts_count = 0;
}

size_t boxsim_conversions_started(const struct boxsim *box)
{
	return box->starts_count;
}

void boxsim_send(struct boxsim *box, const void *bytes, size_t count)
{
	const uint8_t *p = bytes;
	for (size_t i = 0; i < count; ++i) {
		size_t next = (box->in_head + 1u) & (IN_SIZE - 1u);
		if (next == box->in_tail) /* a full queue drops, as a full chip buffer does */
			break;
		box->in[box->in_head] = p[i];
		box->in_head = next;
	}
	feed_uart(box);
}

void boxsim_send_text(struct boxsim *box, const char *text)
{
	boxsim_send(box, text, strlen(text));
}

bool boxsim_run(struct boxsim *box, uint64_t cycles)
{
	uint64_t end = box->avr->cycle + cycles;
	while (box->avr->cycle < end) {
		int state = avr_run(box->avr);
		if (state == cpu_Done || state == cpu_Crashed)
			return false;
	}
	return true;
}

size_t boxsim_take_output(struct boxsim *box, uint8_t *out, size_t max)
{
	size_t count = 0;
	while (count < max && box->out_tail != box->out_head) {
		out[count++] = box->out[box->out_tail];
		box->out_tail = (box->out_tail + 1u) & (OUT_SIZE - 1u);
	}
	return count;
}

/* Index of the first "\n" among the bytes not yet taken, or -1. */
static long find_newline(const struct boxsim *box)
{
	long offset = 0;
	for (size_t i = box->out_tail; i != box->out_head; i = (i + 1u) & (OUT_SIZE - 1u), ++offset)
		if (box->out[i] == '\n')
			return offset;
	return -1;
}

bool boxsim_read_line(struct boxsim *box, char *line, size_t size, uint64_t max_cycles)
{
	uint64_t end = box->avr->cycle + max_cycles;
	long newline;
	while ((newline = find_newline(box)) < 0) {
		if (box->avr->cycle >= end || !boxsim_run(box, BOXSIM_MS / 16u))
			return false;
	}
	size_t kept = 0;
	for (long i = 0; i <= newline; ++i) {
		uint8_t byte = 0;
		boxsim_take_output(box, &byte, 1);
		if (byte != '\n' && kept + 1 < size)
			line[kept++] = (char)byte;
	}
	if (size)
		line[kept] = '\0';
	return true;
}

uint64_t boxsim_cycle(const struct boxsim *box)
{
	return box->avr->cycle;
}
