/* What every firmware test shares: each is one small program that runs the
 * real firmware image on the simulated box (firmware/sim/boxsim.h), talks to
 * it through its UART and compares the lines that come back.
 *
 * Usage of a test: <test> <firmware.elf> <sensor name>. It prints each
 * failed check and exits with 1 if there was one. */
#ifndef CHECK_H
#define CHECK_H

#include "boxsim.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* Longest any answer may take: the 2-second reading plus its line. */
#define ANSWER_CYCLES (3u * BOXSIM_CPU_HZ)

static int check_failures;
/* The identification line the box under test sends, set by start_box. */
static char box_id[64];

#define CHECK(condition)                                                                  \
	do {                                                                              \
		if (!(condition)) {                                                       \
			fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
			++check_failures;                                                 \
		}                                                                         \
	} while (0)

/* Starts the box from the image named on the command line, waits for its
 * identification line and checks it names the sensor. */
static inline struct boxsim *start_box(int argc, char **argv, int a0_mv, int a1_mv)
{
	if (argc != 3) {
		fprintf(stderr, "usage: %s <firmware.elf> <sensor>\n", argv[0]);
		exit(2);
	}
	struct boxsim *box = boxsim_open(argv[1], a0_mv, a1_mv);
	if (!box)
		exit(2);
	char line[64];
	snprintf(box_id, sizeof box_id, "ID NELVAR-BOITIER 1 %s", argv[2]);
	if (!boxsim_read_line(box, line, sizeof line, 10u * BOXSIM_MS) || strcmp(line, box_id) != 0) {
		fprintf(stderr, "no identification at start\n");
		exit(1);
	}
	return box;
}

/* Sends a command line and checks the one answer line. */
static inline void expect_answer(struct boxsim *box, const char *command, const char *expected, int source_line)
{
	char line[128] = "";
	boxsim_send_text(box, command);
	if (!boxsim_read_line(box, line, sizeof line, ANSWER_CYCLES)) {
		fprintf(stderr, "line %d: no answer to \"%s\"\n", source_line, command);
		++check_failures;
	} else if (strcmp(line, expected) != 0) {
		fprintf(stderr, "line %d: \"%s\" answered \"%s\", expected \"%s\"\n", source_line, command,
		        line, expected);
		++check_failures;
	}
}
#define EXPECT_ANSWER(box, command, expected) expect_answer((box), (command), (expected), __LINE__)

/* True when the box sends nothing more for that many cycles. */
static inline int stays_silent(struct boxsim *box, uint64_t cycles)
{
	char line[128];
	uint8_t byte;
	return !boxsim_read_line(box, line, sizeof line, cycles) && boxsim_take_output(box, &byte, 1) == 0;
}

static inline int finish(struct boxsim *box)
{
	boxsim_close(box);
	return check_failures ? 1 : 0;
}

#endif
