/* nelvar-box-sim as the program's tests use it: the pseudo-terminal's path
 * first on stdout, the firmware behind that terminal, control commands on
 * stdin answered "ok" or "error: ...", and "quit" hanging the terminal up
 * like an unplugged box.
 *
 * Usage: simulator_pty <nelvar-box-sim> <firmware.elf>. The waits below are
 * failure guards only: the box answers in a few tens of milliseconds. */
#define _GNU_SOURCE

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#define GUARD_MS 20000

static int failures;

#define CHECK(condition)                                                                  \
	do {                                                                              \
		if (!(condition)) {                                                       \
			fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
			++failures;                                                       \
		}                                                                         \
	} while (0)

/* Reads one line from fd, without its "\n"; false on end, error or guard. */
static int read_line(int fd, char *line, size_t size)
{
	size_t used = 0;
	for (;;) {
		struct pollfd p = {fd, POLLIN, 0};
		if (poll(&p, 1, GUARD_MS) <= 0)
			return 0;
		char c;
		if (read(fd, &c, 1) != 1)
			return 0;
		if (c == '\n')
			break;
		if (used + 1 < size)
			line[used++] = c;
	}
	line[used] = '\0';
	return 1;
}

static int answers(int write_fd, int read_fd, const char *command, const char *expected)
{
	char line[128];
	if (write(write_fd, command, strlen(command)) != (ssize_t)strlen(command) ||
	    !read_line(read_fd, line, sizeof line)) {
		fprintf(stderr, "no answer to \"%s\"\n", command);
		return 0;
	}
	if (strncmp(line, expected, strlen(expected)) != 0) {
		fprintf(stderr, "\"%s\" answered \"%s\", expected \"%s\"\n", command, line, expected);
		return 0;
	}
	return 1;
}

int main(int argc, char **argv)
{
	if (argc != 3) {
		fprintf(stderr, "usage: %s <nelvar-box-sim> <firmware.elf>\n", argv[0]);
		return 2;
	}
	int to_sim[2], from_sim[2];
	if (pipe(to_sim) != 0 || pipe(from_sim) != 0)
		return 2;
	pid_t pid = fork();
	if (pid == 0) {
		dup2(to_sim[0], STDIN_FILENO);
		dup2(from_sim[1], STDOUT_FILENO);
		close(to_sim[1]);
		close(from_sim[0]);
		execl(argv[1], argv[1], "--elf", argv[2], "--a0", "2500", "--a1", "1000", (char *)NULL);
		_exit(127);
	}
	close(to_sim[0]);
	close(from_sim[1]);
	int control = to_sim[1], replies = from_sim[0];

	char path[256];
	CHECK(read_line(replies, path, sizeof path) && strncmp(path, "/dev/pts/", 9) == 0);
	int box = open(path, O_RDWR | O_NOCTTY);
	CHECK(box >= 0);
	if (box >= 0) {
		char line[128];
		CHECK(read_line(box, line, sizeof line) && strcmp(line, "ID NELVAR-BOITIER 1 MPX5700AP") == 0);
		CHECK(answers(box, box, "M 314 15700\n", "M 314 1019 160454 64056"));

		CHECK(answers(control, replies, "a0 1000\n", "ok"));
		CHECK(answers(control, replies, "a1 5000\n", "ok"));
		CHECK(answers(box, box, "M 314 15700\n", "M 314 1019 64056 321222"));
		CHECK(answers(control, replies, "a0 5001\n", "error:"));
		CHECK(answers(control, replies, "a2 100\n", "error:"));
		CHECK(answers(control, replies, "stall\n", "error:"));

		CHECK(answers(control, replies, "stall 5000\n", "ok"));
		CHECK(answers(box, box, "M 314 15700\n", "ERR 3 echantillon en retard"));

		CHECK(answers(control, replies, "reset\n", "ok"));
		CHECK(read_line(box, line, sizeof line) && strcmp(line, "ID NELVAR-BOITIER 1 MPX5700AP") == 0);

		/* unplugged: the terminal reads end, however long one waits */
		CHECK(write(control, "quit\n", 5) == 5);
		struct pollfd p = {box, POLLIN, 0};
		CHECK(poll(&p, 1, GUARD_MS) == 1 && (p.revents & POLLHUP));
		char byte;
		CHECK(read(box, &byte, 1) <= 0);
		close(box);
	}
	close(control);
	int status;
	CHECK(waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0);
	return failures ? 1 : 0;
}
