#include "tests/windows/WglFixture.h"

#include "ffglex/FFGLGL.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace tests
{
void WglFixture::StartContext()
{
	std::string error;
	if (!context.Create(error))
	{
		const char* ci = std::getenv("CI");
		if (ci != nullptr && std::strcmp(ci, "true") == 0)
			FAIL() << error;
		GTEST_SKIP() << error << " (run the tests under xvfb-run)";
	}
	ASSERT_TRUE(ffglex::LoadGLFunctions()) << "the test's own GL functions";
}
} // namespace tests
