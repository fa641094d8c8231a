#include "tests/tools/ToolProcess.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace
{

// The child's standard streams are in-memory files: its input is there in
// full before it starts, and its output never blocks on a pipe.
int MemoryFile(const std::string& contents)
{
	const int fd = memfd_create("tool-stream", MFD_CLOEXEC);
	if (fd >= 0 && write(fd, contents.data(), contents.size()) != static_cast<ssize_t>(contents.size()))
		ADD_FAILURE() << "cannot write the standard input";
	lseek(fd, 0, SEEK_SET);
	return fd;
}

std::string ReadAndClose(int fd)
{
	std::string text;
	char buffer[4096];
	lseek(fd, 0, SEEK_SET);
	for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
		text.append(buffer, static_cast<std::size_t>(n));
	close(fd);
	return text;
}

} // namespace

ToolResult RunTool(const std::string& program, const std::vector<std::string>& args, const std::string& standardInput,
	const std::string& workingDirectory)
{
	const int streams[3] = { MemoryFile(standardInput), MemoryFile({}), MemoryFile({}) };
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	for (int fd = 0; fd < 3; ++fd)
		posix_spawn_file_actions_adddup2(&actions, streams[fd], fd);
	if (!workingDirectory.empty())
		posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
	std::vector<char*> argv{ const_cast<char*>(program.c_str()) };
	for (const std::string& arg : args)
		argv.push_back(const_cast<char*>(arg.c_str()));
	argv.push_back(nullptr);

	pid_t pid = -1;
	int status = 0;
	const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
	posix_spawn_file_actions_destroy(&actions);
	if (spawned != 0)
		ADD_FAILURE() << "cannot start " << program << ": " << std::strerror(spawned);
	else
		while (waitpid(pid, &status, 0) < 0 && errno == EINTR)
		{
		}
	close(streams[0]);
	ToolResult result;
	result.out = ReadAndClose(streams[1]);
	result.err = ReadAndClose(streams[2]);
	result.exitStatus = spawned == 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
	return result;
}

bool OnCI()
{
	const char* ci = std::getenv("CI");
	return ci != nullptr && std::strcmp(ci, "true") == 0;
}

std::string StandIn(const std::string& name)
{
	return std::string(STAND_IN_DIR) + "/" + name + ".so";
}

std::string Example(const std::string& name)
{
#ifdef EXAMPLE_MODULE_DIR
	return std::string(EXAMPLE_MODULE_DIR) + "/" + name + ".so";
#else
	(void)name;
	return {};
#endif
}
