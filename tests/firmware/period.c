/* The sampling period as the chip keeps it, measured on the simulated
 * clock: each pair begins with its A0 conversion at a Timer1 compare match,
 * so the A0 conversions of a reading start one period apart (the A1
 * conversion follows each). 16 MHz / 15 700 Hz = 1019.1 cycles, 16 MHz /
 * 20 kHz = 800; 16 MHz / 100 Hz = 160 000, counted in 8s. */
#include "check.h"

struct rate {
	const char *command;
	size_t count;
	uint64_t period;
};

static const struct rate rates[] = {
	{"M 314 15700\n", 314, 1019},
	{"M 64 20000\n", 64, 800},
	{"M 3 100\n", 3, 160000},
};

int main(int argc, char **argv)
{
	struct boxsim *box = start_box(argc, argv, 2500, 1000);
	static uint64_t starts[2 * 314];
	char line[64];
	for (size_t i = 0; i < sizeof rates / sizeof rates[0]; ++i) {
		const struct rate *r = &rates[i];
		boxsim_record_conversions(box, starts, 2 * r->count);
		boxsim_send_text(box, r->command);
		CHECK(boxsim_read_line(box, line, sizeof line, ANSWER_CYCLES));
		size_t started = boxsim_conversions_started(box);
		CHECK(started == 2 * r->count);
		if (started > 2 * r->count)
			started = 2 * r->count;
		for (size_t k = 2; k < started; k += 2) {
			if (starts[k] - starts[k - 2] != r->period) {
				fprintf(stderr, "\"%.*s\": sample %zu started %llu cycles after the one before, expected %llu\n",
				        (int)strlen(r->command) - 1, r->command, k / 2,
				        (unsigned long long)(starts[k] - starts[k - 2]), (unsigned long long)r->period);
				++check_failures;
				break;
			}
		}
	}
	boxsim_record_conversions(box, NULL, 0);
	return finish(box);
}
