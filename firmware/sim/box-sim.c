/* nelvar-box-sim: the measuring box simulated behind a pseudo-terminal, for
 * the program's tests and for trying the program without a board.
 *
 *   nelvar-box-sim [--elf FILE | --sensor MPX5700AP|MPX4250AP] [--a0 MV] [--a1 MV]
 *
 * Prints the pseudo-terminal's path (a line such as "/dev/pts/7") on stdout,
 * then reads control commands on stdin, one a line, each answered on stdout
 * by "ok" or by "error: <reason>":
 *
 *   a0 <mV>         hold A0 at mV millivolts (0 to 5000)
 *   a1 <mV>         hold A1 likewise
 *   reset           reset the chip (the firmware announces itself again)
 *   stall <cycles>  hold the processor that many cycles at the next
 *                   conversion start, so that the sample starts late
 *   quit            end (also at the end of stdin): the box is unplugged
 *
 * The box runs at the wall clock's pace, never faster. */
#define _GNU_SOURCE /* ppoll */

#include "boxsim.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#define SLICE_CYCLES BOXSIM_MS
/* Further behind the wall clock than this, the box stops trying to catch up. */
#define MAX_LAG_NS 200000000LL

static volatile sig_atomic_t stop_requested;

static void request_stop(int signal_number)
{
	(void)signal_number;
	stop_requested = 1;
}

static long long now_ns(void)
{
	struct timespec t;
	clock_gettime(CLOCK_MONOTONIC, &t);
	return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

/* Opens a pseudo-terminal in raw mode. The tool keeps its own descriptor
 * of the terminal side open, so that the settings stay and a client closing
 * its end does not hang the line up. */
static int open_pty(int *terminal_side, char *path, size_t size)
{
	int master = posix_openpt(O_RDWR | O_NOCTTY);
	if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
		return -1;
	const char *name = ptsname(master);
	if (!name || strlen(name) >= size)
		return -1;
	strcpy(path, name);
	*terminal_side = open(path, O_RDWR | O_NOCTTY);
	if (*terminal_side < 0)
		return -1;
	struct termios settings;
	if (tcgetattr(*terminal_side, &settings) != 0)
		return -1;
	cfmakeraw(&settings);
	cfsetspeed(&settings, B38400);
	if (tcsetattr(*terminal_side, TCSANOW, &settings) != 0)
		return -1;
	fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
	return master;
}

static bool parse_int(const char *text, long min, long max, long *value)
{
	char *end;
	errno = 0;
	long v = strtol(text, &end, 10);
	if (errno || end == text || *end != '\0' || v < min || v > max)
		return false;
	*value = v;
	return true;
}

/* Executes one control line; false for "quit". */
static bool control(struct boxsim *box, char *line)
{
	char *word = strtok(line, " \t");
	char *argument = word ? strtok(NULL, " \t") : NULL;
	char *extra = argument ? strtok(NULL, " \t") : NULL;
	long value;
	if (!word)
		return true;
	if (strcmp(word, "quit") == 0 && !argument)
		return false;
	if (strcmp(word, "reset") == 0 && !argument) {
		boxsim_reset(box);
		puts("ok");
	} else if ((strcmp(word, "a0") == 0 || strcmp(word, "a1") == 0) && argument && !extra &&
	           parse_int(argument, 0, BOXSIM_AVCC_MV, &value)) {
		boxsim_set_input(box, word[1] - '0', (int)value);
		puts("ok");
	} else if (strcmp(word, "stall") == 0 && argument && !extra &&
	           parse_int(argument, 1, 16000000, &value)) {
		boxsim_stall_next_conversion(box, (uint32_t)value);
		puts("ok");
	} else {
		puts("error: commands are a0 <mV>, a1 <mV> (0 to 5000), reset, stall <cycles>, quit");
	}
	fflush(stdout);
	return true;
}

/* Reads what stdin holds and executes each whole line; false at "quit" or
 * at the end of stdin. */
static bool read_controls(struct boxsim *box, char *buffer, size_t size, size_t *used)
{
	ssize_t count = read(STDIN_FILENO, buffer + *used, size - 1 - *used);
	if (count == 0 || (count < 0 && errno != EINTR && errno != EAGAIN))
		return false;
	if (count > 0)
		*used += (size_t)count;
	char *newline;
	while ((newline = memchr(buffer, '\n', *used))) {
		*newline = '\0';
		size_t length = (size_t)(newline - buffer) + 1;
		if (!control(box, buffer))
			return false;
		memmove(buffer, buffer + length, *used - length);
		*used -= length;
	}
	if (*used == size - 1) /* a line too long for any command */
		*used = 0;
	return true;
}

static void usage(void)
{
	fputs("usage: nelvar-box-sim [--elf FILE | --sensor MPX5700AP|MPX4250AP] [--a0 MV] [--a1 MV]\n",
	      stderr);
}

int main(int argc, char **argv)
{
	const char *elf = NELVAR_BOX_FIRMWARE_DIR "/nelvar-box-MPX5700AP.elf";
	static char sensor_elf[4096];
	long a0 = 0, a1 = 0;
	for (int i = 1; i < argc; ++i) {
		const char *option = argv[i];
		const char *value = i + 1 < argc ? argv[i + 1] : NULL;
		if (!value) {
			usage();
			return 2;
		}
		++i;
		if (strcmp(option, "--elf") == 0) {
			elf = value;
		} else if (strcmp(option, "--sensor") == 0 &&
		           (strcmp(value, "MPX5700AP") == 0 || strcmp(value, "MPX4250AP") == 0)) {
			snprintf(sensor_elf, sizeof sensor_elf, "%s/nelvar-box-%s.elf", NELVAR_BOX_FIRMWARE_DIR,
			         value);
			elf = sensor_elf;
		} else if (strcmp(option, "--a0") == 0 && parse_int(value, 0, BOXSIM_AVCC_MV, &a0)) {
		} else if (strcmp(option, "--a1") == 0 && parse_int(value, 0, BOXSIM_AVCC_MV, &a1)) {
		} else {
			usage();
			return 2;
		}
	}

	struct boxsim *box = boxsim_open(elf, (int)a0, (int)a1);
	if (!box)
		return 1;
	int terminal_side;
	char path[256];
	int master = open_pty(&terminal_side, path, sizeof path);
	if (master < 0) {
		perror("pseudo-terminal");
		boxsim_close(box);
		return 1;
	}
	signal(SIGTERM, request_stop);
	signal(SIGINT, request_stop);
	signal(SIGPIPE, SIG_IGN);
	printf("%s\n", path);
	fflush(stdout);

	char controls[256];
	size_t controls_used = 0;
	long long deadline = now_ns();
	int status = 0;
	while (!stop_requested) {
		uint64_t before = boxsim_cycle(box);
		if (!boxsim_run(box, SLICE_CYCLES)) {
			fputs("the firmware stopped\n", stderr);
			status = 1;
			break;
		}
		uint8_t bytes[256];
		size_t count;
		while ((count = boxsim_take_output(box, bytes, sizeof bytes)) > 0) {
			/* Nobody reading and the terminal full: the bytes are lost,
			 * as with a USB serial chip nobody listens to. */
			if (write(master, bytes, count) < 0 && errno != EAGAIN)
				break;
		}

		deadline += (long long)(boxsim_cycle(box) - before) * 1000LL / (BOXSIM_CPU_HZ / 1000000LL);
		long long now = now_ns();
		if (deadline < now - MAX_LAG_NS)
			deadline = now;
		long long wait = deadline > now ? deadline - now : 0;
		struct timespec timeout = {(time_t)(wait / 1000000000LL), (long)(wait % 1000000000LL)};
		struct pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {master, POLLIN, 0}};
		if (ppoll(fds, 2, &timeout, NULL) < 0 && errno != EINTR)
			break;
		if (fds[0].revents & (POLLIN | POLLHUP | POLLERR) &&
		    !read_controls(box, controls, sizeof controls, &controls_used))
			break;
		if (fds[1].revents & POLLIN) {
			ssize_t received = read(master, bytes, sizeof bytes);
			if (received > 0)
				boxsim_send(box, bytes, (size_t)received);
		}
	}
	close(master);
	close(terminal_side);
	boxsim_close(box);
	return status;
}
