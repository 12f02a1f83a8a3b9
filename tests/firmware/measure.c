/* Readings with chosen voltages on A0 and A1. In the simulation a
 * conversion is floor(mV x 1023 / 5000) (simavr's model of the ADC), so
 * each sum is exact: n times that step count. The period is the rate's
 * CPU cycles, rounded; below 245 Hz a multiple of 8. */
#include "check.h"

struct reading {
	int a0_mv, a1_mv;
	const char *command;
	const char *answer;
};

static const struct reading readings[] = {
	/* the program's reading: 314 samples at 15 700 Hz, 20 ms */
	{2500, 1000, "M 314 15700\n", "M 314 1019 160454 64056"},   /* 511, 204 */
	{1234, 4321, "M 314 15700\n", "M 314 1019 79128 277576"},   /* 252, 884 */
	/* the ends of the input range */
	{0, 5000, "M 1 100\n", "M 1 160000 0 1023"},
	{5000, 0, "M 7 15700\n", "M 7 1019 7161 0"},
	/* the fastest rate with the most samples still starts every sample on time */
	{4999, 1, "M 4096 20000\n", "M 4096 800 4186112 0"},        /* 1022, 0 */
	/* either side of Timer1's 16-bit limit */
	{3000, 2000, "M 490 245\n", "M 490 65306 300370 200410"},   /* 613, 409 */
	{3000, 2000, "M 488 244\n", "M 488 65576 299144 199592"},
	/* the longest reading: 2 s */
	{2000, 3000, "M 4096 2048\n", "M 4096 7813 1675264 2510848"}, /* 409, 613 */
};

int main(int argc, char **argv)
{
	struct boxsim *box = start_box(argc, argv, 0, 0);
	for (size_t i = 0; i < sizeof readings / sizeof readings[0]; ++i) {
		const struct reading *r = &readings[i];
		CHECK(boxsim_set_input(box, 0, r->a0_mv));
		CHECK(boxsim_set_input(box, 1, r->a1_mv));
		EXPECT_ANSWER(box, r->command, r->answer);
	}
	return finish(box);
}
