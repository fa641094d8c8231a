// InitGL when the pass-through program cannot be built. This executable links
// a vertex shader that does not compile (BrokenShaders.cpp) in place of the
// module's sources.
#include "guard/AddSubtract.h"
#include "tests/support/GLFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
using GuardInitFailureGLTest = GLFixture;

TEST_F(GuardInitFailureGLTest, FailsOnceLoudlyAndLeavesNoGLObjectAlive)
{
	const GLObjectNames before = LiveObjects();
	AddSubtract guard;
	const FFGLViewportStructTag viewport{ 3, 5, 320, 240 };
	for (int attempt = 0; attempt < 2; ++attempt)
	{
		SCOPED_TRACE(::testing::Message() << "attempt " << attempt + 1);
		::testing::internal::CaptureStdout();
		EXPECT_EQ(guard.InitGL(&viewport), FF_FAIL);
		const std::string printed = ::testing::internal::GetCapturedStdout();

		// The driver's log may run over several lines; it is written once.
		EXPECT_EQ(printed.rfind("Vertex Shader error: ", 0), 0u) << printed;
		EXPECT_EQ(printed.find("Shader error: ", 8), std::string::npos) << printed;
		EXPECT_EQ(LiveObjects(), before);
		// What the entry point does next: harmless, nothing left to release.
		EXPECT_EQ(guard.DeInitGL(), FF_SUCCESS);
		EXPECT_EQ(LiveObjects(), before);
	}
	EXPECT_EQ(guard.InitGL(nullptr), FF_FAIL);
	// The detection state of a new instance, which neither touches: armed, nothing timed.
	EXPECT_TRUE(guard.Armed() && !guard.BlackTimingStarted() && !guard.ClearTimingStarted());
	EXPECT_EQ(TakeGLError(), static_cast<GLenum>(GL_NO_ERROR));
}
} // namespace
