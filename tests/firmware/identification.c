/* The box announces itself at start (checked by start_box) and answers the
 * identification command with the same line, whatever the line ending;
 * empty lines get no answer. Its bytes leave at 38 400 baud. */
#include "check.h"

/* One bit at 38 400 baud with the double-speed bit: 8 x (51 + 1) cycles.
 * A frame is 10 bits (simavr counts 11, a parity bit included). */
#define BIT_CYCLES 416u
/* the step of the timing plus the transmit interrupt's latency */
#define SLACK 64u

int main(int argc, char **argv)
{
	struct boxsim *box = start_box(argc, argv, 0, 0);

	EXPECT_ANSWER(box, "ID\n", box_id);
	EXPECT_ANSWER(box, "ID\r\n", box_id);
	EXPECT_ANSWER(box, "\n\r\n\nID\n", box_id);
	CHECK(stays_silent(box, 50u * BOXSIM_MS));

	/* Given an answer of 30 bytes, when each byte's leaving is timed to
	 * 16 cycles, then consecutive bytes are one frame apart: at 19 200 baud
	 * (no double speed) they would be twice as far, at a wrong divisor
	 * elsewhere. */
	boxsim_send_text(box, "ID\n");
	uint64_t previous = 0;
	int bytes = 0;
	for (uint64_t end = boxsim_cycle(box) + 20u * BOXSIM_MS; boxsim_cycle(box) < end;) {
		CHECK(boxsim_run(box, 16));
		uint8_t byte;
		while (boxsim_take_output(box, &byte, 1)) {
			uint64_t now = boxsim_cycle(box);
			if (bytes++ > 0)
				CHECK(now - previous >= 10u * BIT_CYCLES - SLACK && now - previous <= 11u * BIT_CYCLES + SLACK);
			previous = now;
		}
	}
	CHECK(bytes == (int)strlen(box_id) + 1);
	return finish(box);
}
