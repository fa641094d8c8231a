// A test fixture with a WglContext current, for tests that draw through a
// plug-in DLL. Without a context (no X display under wine) the test fails
// under CI=true and is skipped elsewhere, with the reason.
#pragma once

#include "tests/windows/WglContext.h"

#include <gtest/gtest.h>

namespace tests
{
class WglFixture : public ::testing::Test
{
protected:
	// Creates the context and resolves the GL functions the test itself calls.
	// Check IsSkipped() and HasFatalFailure() afterwards.
	void StartContext();
	void TearDown() override { context.Destroy(); }

	WglContext context;
};
} // namespace tests
