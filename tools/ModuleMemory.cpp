#include "tools/ModuleMemory.h"

#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace ffgltool
{
namespace
{

// process_vm_readv on the own process reports EFAULT for unmapped or
// unreadable memory where a plain load would raise SIGSEGV. Where the call is
// not available (a seccomp filter may refuse it), the read falls back to a
// plain copy: the host then trusts the module as every host does.
bool ReadOnce(const void* address, void* out, std::size_t size, bool& refused)
{
	iovec local{ out, size };
	iovec remote{ const_cast<void*>(address), size };
	const ssize_t n = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
	if (n == static_cast<ssize_t>(size))
		return true;
	refused = n < 0 && (errno == ENOSYS || errno == EPERM);
	return false;
}

std::size_t PageSize()
{
	const long size = sysconf(_SC_PAGESIZE);
	return size > 0 ? static_cast<std::size_t>(size) : 4096;
}

} // namespace

bool SafeCopy(const void* address, void* out, std::size_t size)
{
	if (address == nullptr)
		return false;
	if (size == 0)
		return true;
	bool refused = false;
	if (ReadOnce(address, out, size, refused))
		return true;
	if (!refused)
		return false;
	std::memcpy(out, address, size);
	return true;
}

TextRead SafeReadText(const char* text, std::size_t maxLength, std::string& out)
{
	out.clear();
	if (text == nullptr)
		return TextRead::Null;

	// Read in pieces that never cross a page boundary: a text that ends just
	// before an unmapped page is still read completely.
	const std::size_t page = PageSize();
	const std::size_t wanted = maxLength + 1; // room for the terminator
	char chunk[256];
	std::size_t done = 0;
	while (done < wanted)
	{
		const auto at = reinterpret_cast<std::uintptr_t>(text) + done;
		const std::size_t toPageEnd = page - (at % page);
		const std::size_t size = std::min({ sizeof(chunk), wanted - done, toPageEnd });
		if (!SafeCopy(text + done, chunk, size))
			return TextRead::Unreadable;
		const void* zero = std::memchr(chunk, '\0', size);
		if (zero != nullptr)
		{
			out.append(chunk, static_cast<const char*>(zero) - chunk);
			return TextRead::Ok;
		}
		out.append(chunk, size);
		done += size;
	}
	out.resize(maxLength);
	return TextRead::Unterminated;
}

std::string TextReadProblem(TextRead read, std::size_t maxLength)
{
	switch (read)
	{
	case TextRead::Ok:
		return {};
	case TextRead::Null:
		return "is a null pointer";
	case TextRead::Unreadable:
		return "points at unreadable memory";
	case TextRead::Unterminated:
		break;
	}
	return "has no terminating zero within " + std::to_string(maxLength) + " bytes";
}

std::string FieldText(const char* field, std::size_t size)
{
	const void* zero = std::memchr(field, '\0', size);
	return std::string(field, zero != nullptr ? static_cast<const char*>(zero) - field : size);
}

} // namespace ffgltool
