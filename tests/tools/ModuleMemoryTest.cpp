// Reads of untrusted module memory: texts that end at a page boundary, run
// into an unreadable page, or never end.
#include "tools/ModuleMemory.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace
{

using ffgltool::SafeCopy;
using ffgltool::SafeReadText;
using ffgltool::TextRead;

// One readable page followed by one that is not.
class ModuleMemory : public ::testing::Test
{
protected:
	void SetUp() override { ASSERT_EQ(mprotect(base + page, page, PROT_NONE), 0); }
	void TearDown() override { munmap(base, 2 * page); }

	// The last `size` readable bytes, holding text and its terminator when it fits.
	char* AtEndOfPage(const std::string& text, std::size_t size)
	{
		std::memcpy(base + page - size, text.c_str(), std::min(size, text.size() + 1));
		return base + page - size;
	}

	const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
	char* const base =
		static_cast<char*>(mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
};

TEST_F(ModuleMemory, ReadsTextsUpToTheirTerminatorAndNeverPastReadableMemory)
{
	std::string out;
	// A long text whose terminator is the page's last byte is read whole.
	EXPECT_EQ(SafeReadText(AtEndOfPage(std::string(599, 'a'), 600), 1024, out), TextRead::Ok);
	EXPECT_EQ(out, std::string(599, 'a'));
	// The limit counts characters: 10 fit a limit of 10; beyond, the text is cut.
	char* digits = AtEndOfPage("0123456789", 20);
	EXPECT_EQ(SafeReadText(digits, 10, out), TextRead::Ok);
	EXPECT_EQ(out, "0123456789");
	EXPECT_EQ(SafeReadText(digits, 9, out), TextRead::Unterminated);
	EXPECT_EQ(out, "012345678");
	EXPECT_EQ(ffgltool::TextReadProblem(TextRead::Unterminated, 9), "has no terminating zero within 9 bytes");
	// Running into the unreadable page, or starting there, fails cleanly.
	EXPECT_EQ(SafeReadText(AtEndOfPage("abcd", 4), 1024, out), TextRead::Unreadable);
	EXPECT_EQ(SafeReadText(base + page, 1024, out), TextRead::Unreadable);
	EXPECT_EQ(SafeReadText(nullptr, 9, out), TextRead::Null);
	EXPECT_EQ(out, "");
}

TEST_F(ModuleMemory, CopiesOnlyWhenEveryByteIsReadable)
{
	char out[8];
	EXPECT_TRUE(SafeCopy(AtEndOfPage("ABCDEFG", 8), out, 8));
	EXPECT_STREQ(out, "ABCDEFG");
	EXPECT_FALSE(SafeCopy(base + page - 4, out, 8));
	EXPECT_FALSE(SafeCopy(nullptr, out, 8));
	// A fixed field ends at its first zero byte, or with the field.
	EXPECT_EQ(ffgltool::FieldText("Camera Tenebrixor", 16), "Camera Tenebrixo");
	EXPECT_EQ(ffgltool::FieldText("ab\0cd", 5), "ab");
}

} // namespace
