#include "tests/tools/ToolProcess.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

extern char** environ;

namespace
{

ToolResult Run(const std::string& program, const std::vector<std::string>& args, const std::string& workingDirectory,
               const std::string* standardInput)
{
	ToolResult result;
	int outPipe[2];
	int errPipe[2];
	int inPipe[2] = {-1, -1};
	if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0 ||
	    (standardInput != nullptr && pipe2(inPipe, O_CLOEXEC) != 0))
	{
		ADD_FAILURE() << "pipe: " << std::strerror(errno);
		return result;
	}
	// A child that stops reading must not kill the test with SIGPIPE; the
	// write then fails with EPIPE instead.
	if (standardInput != nullptr)
		std::signal(SIGPIPE, SIG_IGN);

	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
	posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
	if (standardInput != nullptr)
		posix_spawn_file_actions_adddup2(&actions, inPipe[0], STDIN_FILENO);
	if (!workingDirectory.empty())
		posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());

	std::vector<char*> argv;
	argv.push_back(const_cast<char*>(program.c_str()));
	for (const std::string& arg : args)
		argv.push_back(const_cast<char*>(arg.c_str()));
	argv.push_back(nullptr);

	pid_t pid = -1;
	const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
	posix_spawn_file_actions_destroy(&actions);
	close(outPipe[1]);
	close(errPipe[1]);
	if (standardInput != nullptr)
	{
		close(inPipe[0]);
		fcntl(inPipe[1], F_SETFL, O_NONBLOCK);
	}
	if (spawned != 0)
	{
		close(outPipe[0]);
		close(errPipe[0]);
		if (standardInput != nullptr)
			close(inPipe[1]);
		ADD_FAILURE() << "cannot start " << program << ": " << std::strerror(spawned);
		return result;
	}

	// Feed the input and drain both output pipes together, so that no pipe can
	// fill up and stall either side.
	pollfd fds[3] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}, {-1, POLLOUT, 0}};
	std::string* sinks[2] = {&result.out, &result.err};
	std::size_t written = 0;
	if (standardInput != nullptr)
	{
		fds[2].fd = inPipe[1];
		if (standardInput->empty())
		{
			close(fds[2].fd);
			fds[2].fd = -1;
		}
	}
	int open = 2;
	while (open > 0)
	{
		if (poll(fds, 3, -1) < 0)
		{
			if (errno == EINTR)
				continue;
			break;
		}
		if (fds[2].fd >= 0 && fds[2].revents != 0)
		{
			const ssize_t n = write(fds[2].fd, standardInput->data() + written, standardInput->size() - written);
			if (n > 0)
				written += static_cast<std::size_t>(n);
			if ((n < 0 && errno != EAGAIN && errno != EINTR) || written == standardInput->size())
			{
				close(fds[2].fd);
				fds[2].fd = -1;
			}
		}
		for (int i = 0; i < 2; ++i)
		{
			if (fds[i].fd < 0 || fds[i].revents == 0)
				continue;
			char buffer[4096];
			const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
			if (n > 0)
				sinks[i]->append(buffer, static_cast<std::size_t>(n));
			else if (n == 0 || errno != EINTR)
			{
				close(fds[i].fd);
				fds[i].fd = -1;
				--open;
			}
		}
	}

	if (fds[2].fd >= 0)
		close(fds[2].fd);

	int status = 0;
	while (waitpid(pid, &status, 0) < 0 && errno == EINTR)
	{
	}
	result.exited = WIFEXITED(status);
	result.exitStatus = result.exited ? WEXITSTATUS(status) : -1;
	result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
	return result;
}

} // namespace

ToolResult RunTool(const std::string& program, const std::vector<std::string>& args,
                   const std::string& workingDirectory)
{
	return Run(program, args, workingDirectory, nullptr);
}

ToolResult RunToolWithInput(const std::string& program, const std::vector<std::string>& args,
                            const std::string& standardInput)
{
	return Run(program, args, "", &standardInput);
}
