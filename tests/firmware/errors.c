/* Every line the box cannot execute gets one error line with its code, and
 * the box reads correctly afterwards. */
#include "check.h"

struct exchange {
	const char *command;
	const char *answer;
};

#define UNKNOWN "ERR 1 commande inconnue"
#define BAD "ERR 2 argument incorrect"
#define TOO_LONG "ERR 4 ligne trop longue"

static const struct exchange exchanges[] = {
	{"X\n", UNKNOWN},
	{"id\n", UNKNOWN},
	{"m 314 15700\n", UNKNOWN},
	{"IDM\n", UNKNOWN},
	{"MM 1 100\n", UNKNOWN},
	{" M 1 100\n", UNKNOWN},
	{"ID 1\n", BAD},
	{"M\n", BAD},
	{"M 314\n", BAD},
	{"M 314 15700 1\n", BAD},
	{"M 314  15700\n", BAD},
	{"M 314 15700 \n", BAD},
	{"M -1 15700\n", BAD},
	{"M 3x4 15700\n", BAD},
	{"M 0 15700\n", BAD},
	{"M 4097 15700\n", BAD},
	{"M 314 99\n", BAD},
	{"M 314 20001\n", BAD},
	{"M 1 00099\n", BAD},
	{"M 201 100\n", BAD},   /* 2.01 s */
	{"M 4096 2047\n", BAD}, /* 2.0010 s */
	{"M 65850 15700\n", BAD}, /* 65850 would wrap to 314 in 16 bits */
	/* 31 characters are a line, 32 are too many, however many follow */
	{"XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX\n", UNKNOWN},
	{"XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX\n", TOO_LONG},
	{"M 314 15700                      \n", TOO_LONG},
	{"ID XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX\n", TOO_LONG},
	/* a too-long line does not spill into the next one */
	{"ID\n", "ID NELVAR-BOITIER 1 MPX5700AP"},
	{"M 00314 15700\n", "M 314 1019 160454 64056"},
};

int main(int argc, char **argv)
{
	struct boxsim *box = start_box(argc, argv, 2500, 1000);
	for (size_t i = 0; i < sizeof exchanges / sizeof exchanges[0]; ++i)
		EXPECT_ANSWER(box, exchanges[i].command, exchanges[i].answer);
	CHECK(stays_silent(box, 50u * BOXSIM_MS));
	return finish(box);
}
