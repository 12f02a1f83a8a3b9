/* A sample that starts late abandons the reading with ERR 3, never a longer
 * window; the next reading is whole again. The processor is held at the
 * first conversion start: 300 cycles make that start late; three whole
 * periods and a few cycles make the next period begin while the first
 * pair still converts, though its start looks on time. */
#include "check.h"

#define LATE "ERR 3 echantillon en retard"

int main(int argc, char **argv)
{
	struct boxsim *box = start_box(argc, argv, 2500, 1000);
	static const uint32_t stalls[] = {300, 3u * 1019u + 20u, 16000u};
	for (size_t i = 0; i < sizeof stalls / sizeof stalls[0]; ++i) {
		boxsim_stall_next_conversion(box, stalls[i]);
		EXPECT_ANSWER(box, "M 314 15700\n", LATE);
		EXPECT_ANSWER(box, "M 314 15700\n", "M 314 1019 160454 64056");
	}
	/* a short hold, well inside the budget, is no fault */
	boxsim_stall_next_conversion(box, 60);
	EXPECT_ANSWER(box, "M 314 15700\n", "M 314 1019 160454 64056");
	return finish(box);
}
