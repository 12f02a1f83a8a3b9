/* A reset in the middle of a session, even of a reading, starts the box
 * again: the reading is never answered, the identification comes again and
 * the box reads as before. */
#include "check.h"

int main(int argc, char **argv)
{
	struct boxsim *box = start_box(argc, argv, 2500, 1000);
	char line[128];

	EXPECT_ANSWER(box, "M 314 15700\n", "M 314 1019 160454 64056");
	boxsim_send_text(box, "M 4096 2048\n");
	CHECK(boxsim_run(box, 100u * BOXSIM_MS));
	boxsim_reset(box);
	CHECK(boxsim_read_line(box, line, sizeof line, 10u * BOXSIM_MS) && strcmp(line, box_id) == 0);
	CHECK(stays_silent(box, 2500u * BOXSIM_MS));

	/* a half-sent command is lost with the reset, not glued to the next */
	boxsim_send_text(box, "M 31");
	CHECK(boxsim_run(box, 5u * BOXSIM_MS));
	boxsim_reset(box);
	CHECK(boxsim_read_line(box, line, sizeof line, 10u * BOXSIM_MS) && strcmp(line, box_id) == 0);
	EXPECT_ANSWER(box, "M 314 15700\n", "M 314 1019 160454 64056");
	return finish(box);
}
