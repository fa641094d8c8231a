// Reads of untrusted module memory: texts that end at a page boundary, run
// into an unreadable page, or never end.
#include "tools/ModuleMemory.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace
{

using ffgltool::FieldText;
using ffgltool::SafeCopy;
using ffgltool::SafeReadText;
using ffgltool::TextRead;

// One readable page followed by one that is not.
class ModuleMemory : public ::testing::Test
{
protected:
	void SetUp() override
	{
		page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
		void* mapped = mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
		ASSERT_NE(mapped, MAP_FAILED);
		base = static_cast<char*>(mapped);
		ASSERT_EQ(mprotect(base + page, page, PROT_NONE), 0);
	}
	void TearDown() override
	{
		if (base != nullptr)
			munmap(base, 2 * page);
	}
	// The last `size` readable bytes.
	char* EndOfReadable(std::size_t size) { return base + page - size; }

	std::size_t page = 0;
	char* base = nullptr;
};

TEST_F(ModuleMemory, TextEndingAtThePageBoundaryIsReadWhole)
{
	char* text = EndOfReadable(600);
	std::memset(text, 'a', 599);
	text[599] = '\0';
	std::string out;
	EXPECT_EQ(SafeReadText(text, 1024, out), TextRead::Ok);
	EXPECT_EQ(out, std::string(599, 'a'));
}

TEST_F(ModuleMemory, TextRunningIntoAnUnreadablePageFails)
{
	char* text = EndOfReadable(4);
	std::memcpy(text, "abcd", 4);
	std::string out;
	EXPECT_EQ(SafeReadText(text, 1024, out), TextRead::Unreadable);
	EXPECT_EQ(SafeReadText(base + page, 1024, out), TextRead::Unreadable);
}

TEST_F(ModuleMemory, TextLimitIsInclusiveAndLongerTextsAreCut)
{
	char* text = EndOfReadable(20);
	std::memcpy(text, "0123456789", 11);
	std::string out;
	EXPECT_EQ(SafeReadText(text, 10, out), TextRead::Ok);
	EXPECT_EQ(out, "0123456789");
	EXPECT_EQ(SafeReadText(text, 9, out), TextRead::Unterminated);
	EXPECT_EQ(out, "012345678");
	EXPECT_EQ(SafeReadText(nullptr, 9, out), TextRead::Null);
	EXPECT_EQ(out, "");
}

TEST_F(ModuleMemory, CopyFailsOnNullAndUnreadableBytes)
{
	char out[8];
	std::memcpy(EndOfReadable(8), "ABCDEFG", 8);
	EXPECT_TRUE(SafeCopy(EndOfReadable(8), out, 8));
	EXPECT_STREQ(out, "ABCDEFG");
	EXPECT_FALSE(SafeCopy(EndOfReadable(4), out, 8));
	EXPECT_FALSE(SafeCopy(nullptr, out, 8));
}

TEST(ModuleMemoryField, StopsAtTheFirstZeroOrTheEndOfTheField)
{
	const char full[16] = {'C', 'a', 'm', 'e', 'r', 'a', ' ', 'T', 'e', 'n', 'e', 'b', 'r', 'i', 'x', 'o'};
	EXPECT_EQ(FieldText(full, sizeof full), "Camera Tenebrixo");
	const char shortName[16] = "ab";
	EXPECT_EQ(FieldText(shortName, sizeof shortName), "ab");
}

} // namespace
