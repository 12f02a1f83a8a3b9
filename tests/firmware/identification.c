/* The box announces itself at start (checked by start_box) and answers the
 * identification command with the same line, whatever the line ending;
 * empty lines get no answer. */
#include "check.h"

int main(int argc, char **argv)
{
	struct boxsim *box = start_box(argc, argv, 0, 0);
	char expected[64];
	snprintf(expected, sizeof expected, "ID NELVAR-BOITIER 1 %s", argv[2]);

	EXPECT_ANSWER(box, "ID\n", expected);
	EXPECT_ANSWER(box, "ID\r\n", expected);
	EXPECT_ANSWER(box, "\n\r\n\nID\n", expected);
	CHECK(stays_silent(box, 50u * BOXSIM_MS));
	return finish(box);
}
